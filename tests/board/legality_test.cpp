#include <gtest/gtest.h>

#include <random>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board_support.h"

using board_test::setup;

namespace {

bool is_castling(const MoveEntry& e) {
  return piece_type(e.piece) == KING && (move_to(e.move) - move_from(e.move) == 2 || move_from(e.move) - move_to(e.move) == 2);
}

Move find(const Board* board, int from, int to, MoveEntry* list) {
  gen_full_list(board, board->side, list);
  for (MoveEntry* e = list; e->move != MOVE_END; ++e)
    if (move_from(e->move) == from && move_to(e->move) == to) return e->move;
  return MOVE_NONE;
}

}  // namespace

// Against the plain answer: make the move and look at the kings.
TEST(Legality, AgreesWithMakingTheMove) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  std::mt19937 rng(21);
  int positions = 0, checks = 0;
  MoveEntry list[MAX_MOVES];
  for (int round = 0; round < 120; ++round) {
    Board* board = setup(records[round % records.size()].fen.c_str());
    for (int step = 0; step < 50; ++step, ++positions) {
      int side = board->side;
      gen_full_list(board, side, list);
      std::vector<Move> legal;
      for (MoveEntry* e = list; e->move != MOVE_END; ++e) {
        int enemy_king = king_square(board, side ^ 1);
        bool claimed = is_legal(board, side, e->move);
        int check = gives_check(board, side, *e);
        make_move(board, e->move);
        bool safe = !attacked(board, king_square(board, side), side ^ 1);
        bool checking = attacked(board, enemy_king, side);
        unmake_move(board);
        if (is_castling(*e)) {
          bool through = attacked(board, (move_from(e->move) + move_to(e->move)) / 2, side ^ 1) ||
                         attacked(board, move_from(e->move), side ^ 1);
          ASSERT_EQ(claimed, safe && !through);
          ASSERT_EQ(check, 0);  // the rook's check is not looked for
        } else {
          ASSERT_EQ(claimed, safe) << records[round % records.size()].fen << " " << e->move;
          bool en_passant = piece_type(e->piece) == PAWN && move_to(e->move) == board->ep;
          if (claimed && (!en_passant || check)) {
            char fen[FEN_BUFFER];
            board_to_fen(board, fen);
            ASSERT_EQ(check != 0, checking) << fen << " " << e->move;
          }
        }
        checks += checking;
        if (claimed) legal.push_back(e->move);
      }
      if (legal.empty()) break;
      make_move(board, legal[rng() % legal.size()]);
    }
  }
  EXPECT_GT(positions, 3000);
  EXPECT_GT(checks, 1000);
}

TEST(Legality, KnownCases) {
  MoveEntry list[MAX_MOVES];
  // Castling: not out of check, not through an attacked f1 or d1; b1 may be attacked.
  Board* board = setup("4k3/8/8/8/8/8/8/R3K2R w KQ -");
  EXPECT_TRUE(is_legal(board, WHITE, find(board, 4, 6, list)));
  board = setup("4kr2/8/8/8/8/8/8/R3K2R w KQ -");
  EXPECT_FALSE(is_legal(board, WHITE, find(board, 4, 6, list)));
  EXPECT_TRUE(is_legal(board, WHITE, find(board, 4, 2, list)));
  board = setup("1r2k3/8/8/8/8/8/8/R3K2R w KQ -");
  EXPECT_TRUE(is_legal(board, WHITE, find(board, 4, 2, list)));
  board = setup("3rk3/8/8/8/8/8/8/R3K2R w KQ -");
  EXPECT_FALSE(is_legal(board, WHITE, find(board, 4, 2, list)));

  // En passant that would bare the king along the rank.
  board = setup("8/8/8/K2pP2r/8/8/8/7k w - d6");
  EXPECT_FALSE(is_legal(board, WHITE, find(board, 36, 43, list)));

  // Discovered check by a knight, a knight promotion checking, castling rook.
  board = setup("7k/8/8/8/3N4/8/1B6/K7 w - -");
  Move move = find(board, 27, 44, list);
  EXPECT_EQ(gives_check(board, WHITE, MoveEntry{move, 0, WHITE_KNIGHT, EMPTY}), 2);
  board = setup("8/4P3/3k4/8/8/8/8/K7 w - -");
  EXPECT_EQ(gives_check(board, WHITE, MoveEntry{make_move_word(52, 60) | PROMOTE_KNIGHT, 0, WHITE_PAWN, EMPTY}), 1);
  EXPECT_EQ(gives_check(board, WHITE, MoveEntry{make_move_word(52, 60) | PROMOTE_QUEEN, 0, WHITE_PAWN, EMPTY}), 0);
  board = setup("5k2/8/8/8/8/8/8/4K2R w K -");
  EXPECT_EQ(gives_check(board, WHITE, MoveEntry{make_move_word(4, 6), 0, WHITE_KING, EMPTY}), 0);
}
