#pragma once
// Monotonic time for the clock check and the benchmarks.

// Seconds since an arbitrary fixed point; never goes backwards.
double monotonic_seconds();

// Milliseconds of wall-clock time, used only to seed random generators.
unsigned long long wall_clock_ms();

// Sleeps for the given number of milliseconds.
void sleep_ms(int milliseconds);
