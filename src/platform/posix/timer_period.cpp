#include "platform/timer_period.h"

// Sleeps here are precise to well under a millisecond without asking.
TimerPeriodStatus timer_period_begin(int) { return TIMER_PERIOD_NOT_NEEDED; }

void timer_period_end() {}
