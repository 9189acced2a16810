#include "board/board.h"

#include "board/keys.h"

const char* const square_name[64] = {
    "a1", "b1", "c1", "d1", "e1", "f1", "g1", "h1", "a2", "b2", "c2", "d2", "e2", "f2", "g2", "h2",
    "a3", "b3", "c3", "d3", "e3", "f3", "g3", "h3", "a4", "b4", "c4", "d4", "e4", "f4", "g4", "h4",
    "a5", "b5", "c5", "d5", "e5", "f5", "g5", "h5", "a6", "b6", "c6", "d6", "e6", "f6", "g6", "h6",
    "a7", "b7", "c7", "d7", "e7", "f7", "g7", "h7", "a8", "b8", "c8", "d8", "e8", "f8", "g8", "h8"};

const uint32_t signature_value[7] = {0, 1, 16, 256, 4096, 65536, 0};
const uint16_t material_value[7] = {0, 0, 3, 3, 5, 10, 0};

const char piece_letters[] = " PNBRQK pnbrqk";
const char digit_letters[] = "0123456789-PNBRQK-onbrqkKQRBNP";
const char white_diagram[] = "-PNBRQK-onbrqkKQRBNP";
const char black_diagram[] = "-onbrqkKQRBNP";

namespace {

bool list_matches(const Board* board, int code) {
  Bitboard seen = 0;
  int count = 0;
  for (; count < PLIST_SIZE && board->plist[code][count] != NO_SQUARE; ++count) {
    int sq = board->plist[code][count];
    if (sq > 63 || board->squares[sq] != code || board->slot[sq] != count || (seen & square_bit(sq)))
      return false;
    seen |= square_bit(sq);
  }
  return count < PLIST_SIZE && seen == board->bb[code];
}

}  // namespace

bool board_consistent(const Board* board) {
  Bitboard by_code[16] = {};
  uint32_t signature[2] = {};
  uint16_t material[2] = {};
  for (int sq = 0; sq < 64; ++sq) {
    int code = board->squares[sq];
    if (!code) continue;
    if (piece_type(code) == 0 || piece_type(code) == 7) return false;
    by_code[code] |= square_bit(sq);
    by_code[8 * piece_colour(code)] |= square_bit(sq);
    signature[piece_colour(code)] += signature_value[piece_type(code)];
    material[piece_colour(code)] += material_value[piece_type(code)];
  }
  for (int code = 0; code < 16; ++code) {
    if (code == 7 || code == 15) continue;
    if (board->bb[code] != by_code[code]) return false;
    if ((code & 7) == 0 ? board->plist[code][0] != NO_SQUARE : !list_matches(board, code)) return false;
  }
  for (int c = 0; c < 2; ++c)
    if (board->signature[c] != signature[c] || board->material[c] != material[c]) return false;
  return board->key == placement_key(board) && board->pawn_key == pawn_placement_key(board) &&
         board->ep <= NO_SQUARE && board->castle < 16 && board->side < 2;
}
