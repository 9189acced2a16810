#pragma once
// How long the engine thinks: the budget computed when a search begins and
// the clock check the main loop runs every round while it searches.

// Records the start of a search (the clock reading all elapsed times are
// measured from) and sets control.elapsed to 0.
void start_search_clock();
void start_search_clock_at(double now);
// The clock reading the current search started at.
double search_start_time();

// Resets the shared result, sets the draw values and the table age, computes
// control.target_time and copies the master position into every search
// thread. Called once per search, before any search thread is woken.
void prepare_search();

// The budget part of prepare_search alone (no thread blocks touched).
void compute_target_time();

// Refreshes control.elapsed and raises control.stop when the search should end.
void check_time();
// The same with an explicit clock reading (seconds on the monotonic clock).
void check_time_at(double now);
