#include "platform/timer_period.h"

#include <windows.h>
#include <mmsystem.h>

namespace {
UINT period_in_force = 0;
}

TimerPeriodStatus timer_period_begin(int wanted_ms) {
  TIMECAPS caps;
  if (timeGetDevCaps(&caps, sizeof caps) != MMSYSERR_NOERROR) return TIMER_PERIOD_CAPS_FAILED;
  UINT period = wanted_ms < 1 ? 1u : static_cast<UINT>(wanted_ms);
  if (period < caps.wPeriodMin) period = caps.wPeriodMin;
  if (period > caps.wPeriodMax) period = caps.wPeriodMax;
  if (timeBeginPeriod(period) != TIMERR_NOERROR) return TIMER_PERIOD_BEGIN_FAILED;
  period_in_force = period;
  return TIMER_PERIOD_SET;
}

void timer_period_end() {
  if (period_in_force == 0) return;
  timeEndPeriod(period_in_force);
  period_in_force = 0;
}
