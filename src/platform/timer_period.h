#pragma once
// The system timer period. Windows wakes sleeping threads on a 15.6 ms tick
// by default, which would stretch the main loop's 5 ms round (and with it
// the clock check) threefold; asking for a finer period keeps the rhythm.

enum TimerPeriodStatus {
  TIMER_PERIOD_SET,          // the period is in force until timer_period_end
  TIMER_PERIOD_NOT_NEEDED,   // sleeps are already precise: nothing was done
  TIMER_PERIOD_CAPS_FAILED,  // the timer's limits could not be queried
  TIMER_PERIOD_BEGIN_FAILED  // the system refused the period
};

// Asks for a timer period of `wanted_ms`, clamped to what the timer allows.
TimerPeriodStatus timer_period_begin(int wanted_ms);

// Gives back the period taken by timer_period_begin, if any.
void timer_period_end();
