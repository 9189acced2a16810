#pragma once
// The node search below the root: the principal-variation alpha-beta search
// with its pruning, reductions and extensions, and the quiescence search
// that resolves captures at the leaves.
#include "board/board.h"

constexpr int MATE = 10000;
constexpr int NO_SCORE = -10000;
constexpr int MATE_BAND_HIGH = 9696;   // scores above are mate distances
constexpr int MATE_BAND_LOW = -9697;   // scores below are mated distances

// Score of `board` with `side` to move at distance `ply` from the root (the
// root is ply 1) with `depth` plies left. `pv` receives the variation from
// index ply on, ended by 0.
int search(Board* board, int side, int ply, int depth, int alpha, int beta, int pv_node, Move* pv);

// The move loop of a node; also run at reduced depth for internal deepening.
int search_moves(Board* board, int side, int ply, int depth, int alpha, int beta, bool in_check,
                 int pv_node, Move* pv);

// Captures, promotions and (at depth 0 and above) quiet checks below a leaf.
int quiesce(Board* board, int side, int ply, int depth, int alpha, int beta, int pv_node, Move* pv);

struct SearchThread;

// The quiescence score of the thread's position from the root, with a full
// window (the console's evaluation views). Uses the thread's own stack and
// move lists, so a game block can serve while the workers search copies.
int quiescence_score(SearchThread* thread);

// True when some capture wins enough that a search at `depth` against rbeta holds.
bool probcut(Board* board, int ply, int depth, int rbeta);

// Mate scores travel through the table as distances from the stored node.
inline int score_to_table(int score, int ply) {
  return score > MATE_BAND_HIGH ? score + ply : score < MATE_BAND_LOW ? score - ply : score;
}
inline int score_from_table(int score, int ply) {
  return score < MATE_BAND_LOW ? score + ply : score > MATE_BAND_HIGH ? score - ply : score;
}

// Draw value of a repetition for `side`: contempt early in a game, half of
// it up to 200 recorded half-moves, nothing after.
int repetition_score(int side, int history_count);
