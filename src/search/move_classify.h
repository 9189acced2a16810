#pragma once
// What a move is, as far as pruning, reductions and extensions care.
#include "board/board.h"
#include "board/legality.h"
#include "search/ply_record.h"

enum : uint16_t {
  FLAG_CAPTURE = 1,
  FLAG_CHECK = 2,
  FLAG_DISCOVERED = 4,
  FLAG_SEVENTH = 8,
  FLAG_QUEENING = 16,
  FLAG_PASSER = 32,  // passed-pawn push to the fifth or sixth rank, or an under-promotion
};

// The flags of a pawn move on top of its capture and check `flags`, out of
// line: most moves classified are piece moves.
uint16_t pawn_move_flags(const Board* board, int side, const MoveEntry& entry, uint16_t flags);

// `checks`: find_check_squares of the position for `side`. Inline: the move
// loop asks for every move, and most are pruned straight after; the check
// test's rare full path stays out of line.
inline uint16_t classify_move(const Board* board, int side, const MoveEntry& entry, const CheckSquares& checks) {
  const int check = gives_check(board, side, entry, checks);
  uint16_t flags = entry.captured != 0 ? FLAG_CAPTURE : 0;
  if (check) flags |= FLAG_CHECK;
  if (check == 2) flags |= FLAG_DISCOVERED;
  return piece_type(entry.piece) == PAWN ? pawn_move_flags(board, side, entry, flags) : flags;
}

// What the child of `entry` may take as its own check state, given the
// mover's verdict from the node's check squares (gives_check). The verdict
// misses a castling rook's check and an en-passant discovered check: after
// a king move or a move onto the en-passant square the child looks itself.
inline uint8_t told_check(const Board* board, const MoveEntry& entry, bool check) {
  if (piece_type(entry.piece) == KING || move_to(entry.move) == board->ep) return CHECK_UNKNOWN;
  return check ? CHECK_YES : CHECK_NO;
}

// False when some piece of `side` hangs badly enough that standing pat on
// `eval` would not hold beta.
bool threat_safe(Board* board, int side, int eval, int beta);

// True when a quiet move attacks something that matters: a bigger enemy
// piece, or a square next to the enemy king that another piece already hits.
bool creates_threat(Board* board, int side, const MoveEntry& entry);

// Quiet moves that give check (and pawn pushes to the seventh rank) for the
// quiescence search; entries scored 3. Returns the end of the list.
MoveEntry* gen_quiet_checks(const Board* board, int side, MoveEntry* out);
