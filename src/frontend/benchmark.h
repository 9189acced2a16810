#pragma once
// The benchmark: fixed middlegame positions searched one after another,
// with the time per position and the total speed.

constexpr int BENCH_POSITIONS = 20;
extern const char* const bench_positions[BENCH_POSITIONS];

// Searches the first `count` positions; `on_main_thread` runs the search
// synchronously on the calling thread without clock checks. Returns the
// total node count.
unsigned long long run_bench_positions(int count, bool on_main_thread);
