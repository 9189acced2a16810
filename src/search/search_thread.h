#pragma once
// The private block of one search thread (thread 0 is the front end's game
// position). One zero-filled allocation per thread holding everything the
// thread touches, so a search never allocates and threads share no lines.
//
// This first version holds what the board needs. The evaluation adds its
// cache and pawn hash, the search adds the `PlyRecord` search stack (between
// the history and the move stack), the history and countermove tables and
// the per-depth result arrays, each at its place in the field order.
#include <atomic>
#include <cstdint>

#include "board/board.h"
#include "core/engine_state.h"
#include "eval/eval_cache.h"
#include "eval/pawn_hash.h"
#include "search/ply_record.h"

constexpr int MAX_PLY = 70;  // search-stack entries per thread

// Room for MAX_PLY + 2 lists of the largest size any position can produce,
// so the move stack shared by all plies can never overflow.
constexpr int MOVE_STACK_SIZE = 72 * 680;

struct SearchThread {
  HistoryRecord history[HISTORY_SIZE];  // game history, one record per move made
  PlyRecord stack[MAX_PLY];             // search stack, one record per ply

  // Move lists of all plies, one after another. list_start[p] is where the
  // list of ply p begins; gen_all sets list_start[p + 1] past its terminator.
  // The root (ply 1) list starts at the beginning; the ply-0 list is empty.
  MoveEntry move_stack[MOVE_STACK_SIZE];
  MoveEntry* list_start[MAX_PLY + 2];

  // Quiet-move ordering memory, reset at every search start.
  int16_t hist_table[16][64];     // by moving piece code and destination
  Move countermoves[16][64];      // by code on the previous destination and that square

  EvalCache eval_cache;  // whole evaluations of this thread
  PawnHash pawn_hash;    // pawn-structure results of this thread

  // Thread status.
  uint8_t number;                // 1..N for workers, 0 for the game position
  std::atomic<uint8_t> busy;     // 0 idle, 1 search requested, 99 quit
  uint32_t rng;
  uint8_t iter_depth, iter_state, done_depth, seldepth;
  int16_t score, root_eval;
  uint64_t node_limit;
  uint64_t nodes, tbhits, eval_count, eval_hits, tt_probes, tt_hits;
  uint64_t pawn_probes, pawn_hits;
  uint8_t ext_fraction;
  int16_t history_count;  // records in use; the game length in half-moves
  int16_t ply;            // +1 per make (null moves too), -1 per unmake
  Move last_move;         // most recent move, 0 after a null move or set-up

  Board board;  // board.thread points back at this block

  // Results of the root iterations.
  Move pv_line[MAX_PLY];             // best line from index 1, ended by 0
  uint64_t nodes_at_depth[MAX_PLY];  // node count when each iteration ended
  int16_t score_at_depth[MAX_PLY];   // best score of each iteration
};

// Allocates a zero-filled block with its board and move stack linked, or
// null when memory runs out. Free it with free_thread_block.
SearchThread* alloc_thread_block();
void free_thread_block(SearchThread* thread);

// Blocks by thread number: 0 is the front end's game position, 1..N the
// search workers. Owned and filled by the front end and the thread code.
extern SearchThread* thread_table[MAX_THREADS + 1];
