#pragma once
// The static evaluation: a tapered score of the thread's position from the
// view of `side`, with exact answers for a few material configurations and
// threat words left at the ply for the search.
#include <cstdint>

#include "board/bitboard.h"

struct EvalThread;

constexpr int EVAL_NONE = -10000;  // "no score": also the static value in check

// Score for `side` (positive is good for `side`). `ply` selects the entry of
// thread->eval_ply (0..69) that receives the threat words and the dead-draw
// mark; a
// non-zero `skip` returns EVAL_NONE at once.
int evaluate(EvalThread* thread, int side, int ply, int skip);

// Builds the fixed tables and the king-and-pawn bitbase; later calls do
// nothing. Run once at start-up (init_eval_tables builds the tables that
// depend on the parameters).
void init_eval();

// True when the thread's caches may answer: only inside a running search,
// since parameters may change between searches.
bool eval_caches_trusted(const EvalThread* thread);

// Empties the thread's evaluation cache, pawn hash and material memory.
void clear_eval_caches(EvalThread* thread);

// ---- Display ----

// What the last evaluation made with display_eval_terms on recorded.
struct EvalDisplay {
  int score;            // final score for the side evaluated
  int stage;
  double draw_factor;   // drawish scaling applied (1 when none)
  Bitboard hung;        // hung pieces of both colours
  Bitboard pinned;      // pinned pieces of both colours
  int free_rank[2];     // highest rank (1..8, own view) of a free passer, 0 when none
  int mat_op[2], mat_en[2];
  // Per colour, opening and ending sums of each group of terms, in the
  // order of the breakdown: pawns, knights, bishops, rooks, queens, kings,
  // passers, and the rest (candidates, hung, pinned, blockers, tempo).
  int term_op[8][2], term_en[8][2];
  int square_value[64];  // blended contribution of the piece or pawn on each square
  bool valid;
};

enum : int {
  TERM_PAWNS, TERM_KNIGHTS, TERM_BISHOPS, TERM_ROOKS, TERM_QUEENS, TERM_KINGS, TERM_PASSERS,
  TERM_OTHER, TERM_COUNT
};

// While set, an evaluation at ply 1 or below (outside a search) records
// EvalDisplay.
extern bool display_eval_terms;
extern EvalDisplay eval_display;

// Evaluates the thread's position at ply 1 with the display on and prints
// the breakdown; `qscore` is the quiescence score to show beside it.
void show_eval(EvalThread* thread, int qscore);
