#pragma once
// Pseudo-legal move generation in a fixed order. Generators append entries
// at `out` and return the position after the last one; the caller writes the
// terminating entry (move MOVE_END).
#include "board/attacks.h"
#include "board/board.h"

// Largest list any playable position (position_check.h) can produce,
// terminator included; a buffer of this size is never overrun. Nine queens
// and ten rooks, bishops and knights with a king make at most 603 moves.
constexpr int MAX_MOVES = 680;

MoveEntry* gen_pawn_captures(const Board* board, int side, MoveEntry* out);
MoveEntry* gen_piece_captures(const Board* board, int side, MoveEntry* out);

// Promotions, under-promotions too when `all_kinds`, by the `pawns` of
// `side` (some of its pawns on its seventh rank). Cold: few nodes have any.
[[gnu::cold]] MoveEntry* gen_promotions_of(const Board* board, int side, Bitboard pawns, bool all_kinds,
                                           MoveEntry* out);

// The same for all its pawns there. Nearly every node has none: that test
// is made inline, sparing the call.
inline MoveEntry* gen_promotions(const Board* board, int side, bool all_kinds, MoveEntry* out) {
  const Bitboard pawns = board->bb[make_piece(PAWN, side)] & rank7[side];
  return pawns ? gen_promotions_of(board, side, pawns, all_kinds, out) : out;
}

MoveEntry* gen_quiets(const Board* board, int side, MoveEntry* out);

// Pawn captures, piece captures, promotions of all kinds and quiet moves of
// `side`, terminated. Returns the terminator's position.
MoveEntry* gen_full_list(const Board* board, int side, MoveEntry* out);

// The full list of the side to move into the current ply's area of the
// thread's move stack (thread->list_start[ply]); records its end by setting
// list_start[ply + 1] just past the terminator. Returns the list start.
MoveEntry* gen_all(Board* board);
