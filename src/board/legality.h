#pragma once
// Tests on a pseudo-legal move before it is made.
#include "board/attacks.h"
#include "board/board.h"

// Castling: king not in check, passed and landing squares not attacked.
bool castling_legal(const Board* board, int enemy, int from, int to);

// True when the pseudo-legal `move` of `side` leaves its king safe; castling
// also needs the king not in check and the passed and landing squares safe.
// Only the occupancies change for the test: it reads no piece of the mover.
inline bool is_legal(const Board* board, int side, Move move) {
  int from = move_from(move), to = move_to(move);
  int type = piece_type(board->squares[from]);
  int enemy = side ^ 1;
  Bitboard gone = square_bit(to);
  Bitboard occ = (occupancy(board) & ~square_bit(from)) | gone;
  if (type == KING) {
    if (to - from == 2 || from - to == 2) return castling_legal(board, enemy, from, to);
    return !attacked_through(board, to, enemy, occ, gone);
  }
  int king = king_square(board, side);
  if (king >= 64) return true;  // a set-up position without this king
  if (type == PAWN && to == board->ep && board->squares[to] == EMPTY) {
    Bitboard victim = square_bit(side == WHITE ? to - 8 : to + 8);
    occ &= ~victim;
    gone |= victim;
  }
  return !attacked_through(board, king, enemy, occ, gone);
}

// The squares on lines through `side`'s king (none without a king). A side
// that is not in check can only expose its king by moving a piece off them.
inline Bitboard king_lines(const Board* board, int side) {
  int king = king_square(board, side);
  return king < 64 ? bishop_rays[king] | rook_rays[king] : 0;
}

// The pieces of `side` that alone stand between its king and an enemy
// slider on the slider's line: out of check, the only pieces whose move can
// uncover the king.
Bitboard pinned_pieces(const Board* board, int side);

// is_legal for a side that is not in check, given `lines`: its king_lines or
// its pinned_pieces. A move that is neither the king's nor onto the
// en-passant square, from a square off those, needs no attack test.
inline bool is_legal_out_of_check(const Board* board, int side, Move move, Bitboard lines) {
  int from = move_from(move);
  if (!(lines & square_bit(from)) && piece_type(board->squares[from]) != KING && move_to(move) != board->ep)
    return true;
  return is_legal(board, side, move);
}

// The squares a move other than the king's must reach when `side` is in
// check: the checker's and those between it and the king; none in double
// check (all squares when there is no check).
Bitboard evasion_targets(const Board* board, int side);

// Whether a move of `piece` to `to` can answer a check, given the
// evasion_targets: one that is neither the king's nor en passant and reaches
// none of them leaves the check standing, and most pseudo-legal moves in
// check are such moves.
inline bool may_evade(const Board* board, int piece, int to, Bitboard targets) {
  return (targets & square_bit(to)) || piece_type(piece) == KING || to == board->ep;
}

// is_legal for a side in check, given its evasion_targets.
inline bool is_legal_in_check(const Board* board, int side, Move move, Bitboard targets) {
  return may_evade(board, board->squares[move_from(move)], move_to(move), targets) && is_legal(board, side, move);
}

// 1 when the moved (or promoted) piece attacks the enemy king from its
// destination, 2 when the move uncovers a slider's check, 0 otherwise.
// Checks by the castling rook and en-passant discovered checks are not seen.
int gives_check(const Board* board, int side, const MoveEntry& entry);

// A node tries many moves against one enemy king: what gives_check reads
// of the position, worked out once for `side`.
struct CheckSquares {
  Bitboard by_type[8];   // where a piece of each type (0..6) would attack the enemy king
  Bitboard discoverers;  // own pieces that alone block an own slider's line to it
};
void find_check_squares(const Board* board, int side, CheckSquares& squares);

// Moves the check squares cannot judge alone: a promotion can check along a
// line through its own origin, which the squares count as blocked, and a
// discoverer's move needs its line traced.
inline bool needs_full_check_test(const MoveEntry& entry, const CheckSquares& squares) {
  return is_promotion(entry.move) || (squares.discoverers & square_bit(move_from(entry.move)));
}

// gives_check's verdict from the node's check squares; the same for every
// move of a position where the side to move does not already check.
inline int gives_check(const Board* board, int side, const MoveEntry& entry, const CheckSquares& squares) {
  if (needs_full_check_test(entry, squares)) return gives_check(board, side, entry);
  return (squares.by_type[piece_type(entry.piece)] & square_bit(move_to(entry.move))) != 0;
}
