#include "book/polyglot_key.h"

#include "board/board.h"

namespace {

// Black pieces come first in the table: kind = 2 * (type - 1) + (white ? 1 : 0).
int piece_offset(int code, int square) {
  int kind = 2 * (piece_type(code) - 1) + (piece_colour(code) == WHITE ? 1 : 0);
  return 64 * kind + square;
}

// Board.ep is set after every double push; the book key wants it only when
// the side to move has a pawn that could take there.
bool capture_possible(const Board* board) {
  int ep = board->ep;
  if (ep >= 64) return false;
  int pushed = board->side == WHITE ? ep - 8 : ep + 8;
  int own_pawn = make_piece(PAWN, board->side);
  return (file_of(pushed) > 0 && board->squares[pushed - 1] == own_pawn) ||
         (file_of(pushed) < 7 && board->squares[pushed + 1] == own_pawn);
}

}  // namespace

uint64_t polyglot_key(const Board* board) {
  uint64_t key = 0;
  for (int s = 0; s < 64; s++) {
    int code = board->squares[s];
    int type = piece_type(code);
    if (type >= PAWN && type <= KING) key ^= polyglot_random[piece_offset(code, s)];
  }
  // Tarn's rights bits K, Q, k, q are in the table's order.
  for (int right = 0; right < 4; right++)
    if (board->castle & (1 << right)) key ^= polyglot_random[POLYGLOT_CASTLE_BASE + right];
  if (capture_possible(board)) key ^= polyglot_random[POLYGLOT_EP_BASE + file_of(board->ep)];
  if (board->side == WHITE) key ^= polyglot_random[POLYGLOT_TURN];
  return key;
}
