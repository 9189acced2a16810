#include "search/search_threads.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "core/engine_state.h"
#include "platform/clock.h"
#include "search/root.h"

namespace {

std::mutex result_mutex;
std::mutex output_mutex;
std::atomic<bool> started[MAX_THREADS + 1];

void worker(int number) {
  // A block left by an earlier worker of this number (its thread has ended).
  free_thread_block(__atomic_load_n(&thread_table[number], __ATOMIC_ACQUIRE));
  SearchThread* block = alloc_thread_block();
  if (!block) std::exit(0);
  block->busy = 0;
  block->number = static_cast<uint8_t>(number);
  block->rng = static_cast<uint32_t>(number) * 123;
  __atomic_store_n(&thread_table[number], block, __ATOMIC_RELEASE);
  started[number] = true;
  for (;;) {
    const uint8_t busy = block->busy.load();
    if (busy == 99) break;
    if (busy == 1) {
      think(number);
      block->busy = 0;
    } else {
      sleep_ms(1);
    }
  }
  block->busy = 0;
}

}  // namespace

int start_threads(int n) {
  for (int t = 1; t <= n; ++t) started[t] = false;
  for (int t = 1; t <= n; ++t) {
    try {
      std::thread(worker, t).detach();
    } catch (...) {
      return 1;
    }
  }
  for (int t = 1; t <= n; ++t)
    while (!started[t]) sleep_ms(1);
  return 0;
}

void stop_threads(int n) {
  control.stop = 99;
  while (busy_threads() != 0) sleep_ms(1);
  for (int t = 1; t <= n; ++t)
    if (thread_table[t]) thread_table[t]->busy = 99;
  for (int t = 1; t <= n; ++t)
    while (thread_table[t] && thread_table[t]->busy.load() != 0) sleep_ms(1);
  // The thread may still be between its last read and its return; give it
  // a moment so that freeing its block later is safe.
  sleep_ms(2);
}

int busy_threads() {
  int sum = 0;
  for (int t = 1; t <= control.threads; ++t)
    if (thread_table[t]) sum += thread_table[t]->busy.load();
  return sum;
}

void wake_threads() {
  for (int t = 1; t <= control.threads; ++t) {
    if (!thread_table[t]) continue;
    thread_table[t]->busy = 1;
    if (t == 1 && control.threads > 1) sleep_ms(5);
  }
}

void sum_statistics(bool all_counters) {
  SearchStats stats = control.stats;
  stats.nodes = stats.tbhits = 0;
  if (all_counters) stats.eval_probes = stats.eval_hits = stats.tt_probes = stats.tt_hits = 0;
  if (all_counters) stats.pawn_probes = stats.pawn_hits = 0;
  for (int t = 1; t <= search_limits.threads; ++t) {
    const SearchThread* thread = thread_table[t];
    if (!thread) continue;
    stats.nodes += relaxed_load(thread->nodes);
    stats.tbhits += relaxed_load(thread->tbhits);
    // The table and evaluation counters are plain fields of busy threads;
    // they are read only once the workers are idle.
    if (!all_counters) continue;
    stats.eval_probes += thread->eval_count;
    stats.eval_hits += thread->eval_hits;
    stats.tt_probes += thread->tt_probes;
    stats.tt_hits += thread->tt_hits;
    stats.pawn_probes += thread->pawn_probes;
    stats.pawn_hits += thread->pawn_hits;
  }
  control.stats = stats;
}

SearchLimits search_limits = {66, 1, 1, 0, {}};

void reset_thread_blocks() {
  search_limits.max_depth = control.max_depth;
  search_limits.multipv = control.multipv;
  search_limits.threads = control.threads;
  search_limits.mate_limit = control.mate_limit;
  search_limits.root_moves = control.root_moves;
  SearchThread* master = thread_table[0];
  const uint64_t limit = control.node_limit > 0 ? static_cast<uint64_t>(control.node_limit)
                                                : (uint64_t{1} << 62);
  for (int t = 0; t <= control.threads; ++t) {
    SearchThread* thread = thread_table[t];
    if (!thread) continue;
    thread->iter_depth = thread->iter_state = thread->done_depth = thread->seldepth = 0;
    thread->score = 0;
    thread->root_eval = 0;
    thread->nodes = thread->tbhits = thread->eval_count = thread->eval_hits = 0;
    thread->tt_probes = thread->tt_hits = thread->pawn_probes = thread->pawn_hits = 0;
    thread->node_limit = limit;
    thread->ply = 1;
    thread->pv_line[1] = 0;
    if (t == 0) continue;
    thread->board = master->board;
    thread->board.thread = thread;
    thread->history_count = master->history_count;
    thread->last_move = master->last_move;
    const int count = master->history_count;
    const int copied = count + 1 < HISTORY_SIZE ? count + 1 : HISTORY_SIZE;
    std::memcpy(thread->history, master->history, sizeof(HistoryRecord) * copied);
    if (copied < HISTORY_SIZE) thread->history[copied].move = 0;
  }
}

void lock_result() { result_mutex.lock(); }
void unlock_result() { result_mutex.unlock(); }
void lock_output() { output_mutex.lock(); }
void unlock_output() { output_mutex.unlock(); }
