#include "tb_test_support.h"

#include <gtest/gtest.h>

#include "board/board_thread.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "support/shared_data.h"
#include "support/board_block.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"

namespace tb_test {

namespace {

const char piece_letters[] = " PNBRQK  pnbrqk";

void add_piece(EgtbPosition* pos, int code, int square) {
  uint64_t bit = 1ULL << square;
  (code < 8 ? pos->white : pos->black) |= bit;
  uint64_t EgtbPosition::*kinds[] = {&EgtbPosition::pawns, &EgtbPosition::knights, &EgtbPosition::bishops,
                                     &EgtbPosition::rooks, &EgtbPosition::queens, &EgtbPosition::kings};
  pos->*kinds[(code & 7) - 1] |= bit;
}

}  // namespace

Board* board_at(const std::string& fen, int fifty) {
  parse_fen(&tarn_test::board_block()->board, fen.c_str());
  tarn_test::board_block()->board.fifty = (uint8_t)fifty;
  return &tarn_test::board_block()->board;
}

Board* engine_board(const EgtbPosition& pos) { return board_at(fen_of(pos)); }

std::vector<uint16_t> legal_moves(const Board* board) {
  MoveEntry list[MAX_MOVES];
  gen_full_list(board, board->side, list);
  std::vector<uint16_t> moves;
  for (MoveEntry* e = list; e->move != MOVE_END; ++e)
    if (is_legal(board, board->side, e->move)) moves.push_back(e->move);
  return moves;
}

EgtbPosition position_from_fen(const std::string& fen) {
  return egtb_position_from_board(board_at(fen), 0);
}

std::string fen_of(const EgtbPosition& pos) {
  std::string fen;
  for (int rank = 7; rank >= 0; rank--) {
    for (int file = 0; file < 8; file++) {
      char c = '1';
      for (int code = 1; code < 15; code++)
        if (piece_letters[code] != ' ' && egtb_pieces(pos, code) >> (rank * 8 + file) & 1) c = piece_letters[code];
      if (c == '1' && file && fen.back() >= '1' && fen.back() < '8')
        fen.back()++;
      else
        fen += c;
    }
    fen += rank ? "/" : pos.turn ? " w - " : " b - ";
  }
  if (!pos.ep) return fen + "-";
  return fen + char('a' + (pos.ep & 7)) + char('1' + (pos.ep >> 3));
}

std::string syzygy_dir() { return tarn_test::shared_path("syzygy"); }

std::string setup_capturing(const std::string& path) {
  testing::internal::CaptureStdout();
  egtb_setup(path.c_str());
  return testing::internal::GetCapturedStdout();
}

std::vector<int> codes_of(const std::string& material) {
  std::vector<int> codes = {6, 14};
  int colour = 0;
  for (char c : material) {
    if (c == 'v') colour = 8;
    for (int t = 1; t <= 5; t++)
      if (c == piece_letters[t]) codes.push_back(t + colour);
  }
  return codes;
}

bool place(EgtbPosition* pos, const int* codes, const int* squares, int count, bool white_to_move) {
  *pos = EgtbPosition{};
  for (int i = 0; i < count; i++) {
    if ((pos->white | pos->black) >> squares[i] & 1) return false;
    add_piece(pos, codes[i], squares[i]);
  }
  pos->turn = white_to_move ? 1 : 0;
  return true;
}

bool pawn_on_edge_rank(const EgtbPosition& pos) { return (pos.pawns & 0xFF000000000000FFULL) != 0; }

EgtbPosition random_position(const std::vector<int>& codes, std::mt19937_64& rng) {
  tarn_test::board_block();  // the validity test looks for checks in the attack tables
  for (;;) {
    std::vector<int> squares;
    for (size_t i = 0; i < codes.size(); i++) squares.push_back((int)(rng() % 64));
    EgtbPosition pos;
    if (place(&pos, codes.data(), squares.data(), (int)codes.size(), rng() & 1) && !pawn_on_edge_rank(pos) &&
        egtb_root_position_valid(pos))
      return pos;
  }
}

}  // namespace tb_test
