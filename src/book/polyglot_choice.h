#pragma once
// Choosing a move from a Polyglot book: among the stored moves that are
// legal in the position, one is drawn with probability proportional to its
// weight; weight 0 is never played.
#include <cstdint>

#include "board/types.h"
#include "core/root_moves.h"
#include "book/polyglot_file.h"

struct Board;

struct PolyglotCandidate {
  Move move;
  uint16_t weight;
};

// The board's move word for a stored move, before any legality test:
// castling is stored as the king taking its own rook (e1h1, e1a1, e8h8,
// e8a8) and becomes the king's two-square move when the king stands on e1
// or e8. MOVE_NONE for a promotion code that names no piece.
Move polyglot_move(const Board* board, uint16_t stored);

// The entries whose move is legal on the board, in file order. An entry
// whose move is not legal (a damaged book, a key collision) is skipped.
int polyglot_candidates(const Board* board, const PolyglotEntry* entries, int count, PolyglotCandidate* out);

// Draws a point of the total weight from `random` (0..RAND_MAX) and returns
// the candidate that owns it; MOVE_NONE when the weights add up to 0.
Move polyglot_pick(const PolyglotCandidate* candidates, int count, int (*random)());

// The move for the board from the engine's Polyglot book, MOVE_NONE when
// there is none. With `listing`, prints each legal book move with its
// weight and share, then the choice. With `only`, the moves it does not
// allow are left out before the draw.
Move polyglot_find_move(const Board* board, bool listing, const RootMoves* only = nullptr);
