#pragma once
// Choosing a move from the book: every legal move leading to a book position
// with a good enough score for the mover is a candidate, weighted by the log
// of its results, with a random bonus whose size `book_variety` controls.
#include <cstdint>

#include "core/root_moves.h"

struct Board;

struct BookCandidate {
  uint16_t move;
  double weight;
};

// The score and weight of a move whose book record has these counts (from
// the mover's side). Returns true when the move qualifies as a candidate for
// the side that plays it (0 white, 1 black).
bool book_rating(int wins, int losses, int draws, int side, double* score, double* weight);

// Picks among candidates. A variety below 1 counts as 1, which removes the
// random term: the largest weight wins, the earliest on ties.
uint16_t book_pick(const BookCandidate* candidates, int count, double max_weight, int variety,
                   int (*random)());

// The book move of the board's position, 0 when there is none. With
// `listing`, prints every book move found and the choice. With `only`, a
// move it does not allow is never chosen.
uint16_t book_find_move(Board* board, bool listing, const RootMoves* only = nullptr);

// Sets control.pv[1] to the book move (0 when none) and clears the ponder
// move, so that a book move is answered without one.
void book_choose(Board* board, bool listing, const RootMoves* only = nullptr);
