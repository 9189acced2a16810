#pragma once
// The evaluation's share of a thread's block: its caches, its counters and
// what each evaluation leaves for the search at its ply. The search block
// extends it.
#include <cstdint>

#include "board/board_thread.h"
#include "eval/eval_cache.h"
#include "eval/pawn_hash.h"

// Left by the evaluation at the ply it was asked for.
struct EvalPly {
  uint16_t dead_draw;  // the search clears it on entry; set when nobody can win
  int16_t threat[2];   // per colour: how much it stands to lose
};

struct EvalThread : BoardThread {
  EvalCache eval_cache;  // whole evaluations of this thread
  PawnHash pawn_hash;    // pawn-structure results of this thread
  MaterialMemo material_memo;
  EvalPly eval_ply[MAX_PLY];

  uint8_t number;  // 1..N for search workers, 0 for the game position
  uint64_t eval_count, eval_hits, pawn_probes, pawn_hits;
};
