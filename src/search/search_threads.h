#pragma once
// The search workers: creation and shutdown, the start protocol, the two
// process-wide locks, and the statistics sum.
#include "search/search_thread.h"

// Creates n workers numbered 1..n and waits until each has its block.
// Non-zero when a thread cannot be created.
int start_threads(int n);
// Shuts the n workers down (stop = 99, wait, busy = 99, wait).
void stop_threads(int n);

// Sum of the busy bytes of workers 1..control.threads (0 when all idle).
int busy_threads();

// Wakes workers 1..control.threads (5 ms pause after the first when there
// are more, so helpers find the main thread already iterating).
void wake_threads();

// Adds up the counters of the workers into control.stats: only the node
// and tablebase counts while a search runs, every counter once it is over.
void sum_statistics(bool all_counters = true);

// Block of thread t (0 = the game position), or null.
inline SearchThread* search_thread(int t) { return thread_table[t]; }

// The limits the search threads read, copied from control when a search
// starts, so that commands changing control during a search (a new "go",
// "setoption MultiPV") never touch what running threads read.
struct SearchLimits {
  int max_depth;
  int multipv;
  int threads;
  int mate_limit;            // 0 = none
  RootMoves root_moves;      // root moves allowed, count 0 = all
};
extern SearchLimits search_limits;

// Per-search reset of blocks 0..control.threads: counters, node limit, ply,
// and for the workers a copy of the game position and its history.
void reset_thread_blocks();

// Locks: the result lock around publishing, the output lock around info
// lines and the statistics sum.
void lock_result();
void unlock_result();
void lock_output();
void unlock_output();

// Lock-free reads and writes of fields that another thread polls.
template <typename T>
inline T relaxed_load(const T& field) {
  return __atomic_load_n(&field, __ATOMIC_RELAXED);
}
template <typename T, typename U>
inline void relaxed_store(T& field, U value) {
  __atomic_store_n(&field, static_cast<T>(value), __ATOMIC_RELAXED);
}
inline double relaxed_load_double(const double& field) {
  double value;
  __atomic_load(&field, &value, __ATOMIC_RELAXED);
  return value;
}
inline void relaxed_store_double(double& field, double value) {
  __atomic_store(&field, &value, __ATOMIC_RELAXED);
}
