#pragma once
// The private block of one search thread (thread 0 is the front end's game
// position). One zero-filled allocation per thread holding everything the
// thread touches, so a search never allocates and threads share no lines.
// The board's and the evaluation's shares come first (EvalThread); the
// search adds its stack, its move-ordering memory, its status and the
// results of the root iterations.
#include <atomic>
#include <cstdint>

#include "board/board.h"
#include "core/engine_state.h"
#include "eval/eval_thread.h"
#include "search/ply_record.h"

struct SearchThread : EvalThread {
  PlyRecord stack[MAX_PLY];  // search stack, one record per ply

  // Quiet-move ordering memory, reset at every search start.
  int16_t hist_table[16][64];     // by moving piece code and destination
  Move countermoves[16][64];      // by code on the previous destination and that square

  // The scores of the move stack's entries side by side, index for index,
  // where the quiet stage picks its moves: packed, eight are compared at
  // once. Written when a ply's quiet moves are scored; the tail leaves room
  // for reading a whole group past a list's end.
  int16_t order_keys[MOVE_STACK_SIZE + 8];

  // Thread status.
  std::atomic<uint8_t> busy;     // 0 idle, 1 search requested, 99 quit
  uint32_t rng;
  uint8_t iter_depth, iter_state, done_depth, seldepth;
  int16_t score, root_eval;
  uint64_t node_limit;
  // Written at every node by this thread alone: a cache line apart from the
  // status above, which the front end and the other threads poll, so that
  // their reads never pull the line away from the writer.
  alignas(64) uint64_t nodes;
  uint64_t tbhits, tt_probes, tt_hits;
  uint8_t ext_fraction;

  // Results of the root iterations.
  Move pv_line[MAX_PLY];             // best line from index 1, ended by 0
  uint64_t nodes_at_depth[MAX_PLY];  // node count when each iteration ended
  int16_t score_at_depth[MAX_PLY];   // best score of each iteration
};

// The search block a board belongs to: the search runs only on boards of
// search blocks.
inline SearchThread* thread_of(Board* board) { return static_cast<SearchThread*>(board->thread); }
inline const SearchThread* thread_of(const Board* board) {
  return static_cast<const SearchThread*>(board->thread);
}

// Allocates a zero-filled block with its board and move stack linked, or
// null when memory runs out. Free it with free_thread_block.
SearchThread* alloc_thread_block();
void free_thread_block(SearchThread* thread);

// Blocks by thread number: 0 is the front end's game position, 1..N the
// search workers. Owned and filled by the front end and the thread code.
extern SearchThread* thread_table[MAX_THREADS + 1];
