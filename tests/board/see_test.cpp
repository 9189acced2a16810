#include <gtest/gtest.h>

#include "board/fen.h"
#include "board/see.h"
#include "board_support.h"

using board_test::setup;

namespace {

Move capture(int from, int to) { return make_move_word(from, to); }

}  // namespace

TEST(Exchange, Swap) {
  // Pawn e5 defended by d6, attacked by a knight.
  Board* board = setup("4k3/8/3p4/4p3/8/5N2/8/4K3 w - -");
  board_test::Snapshot before = board_test::snapshot(board);
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 36, false), 100 - 330);
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 36, true), 0);
  EXPECT_EQ(board_test::difference(board_test::snapshot(board), before), "");

  // Rook and queen doubled on the file against a pawn defended once: the
  // queen behind the rook joins in once the rook has gone.
  board = setup("3rk3/8/3p4/8/8/8/3R4/3QK3 w - -");
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 43, false), 100 - 530 + 530);
  board = setup("3rk3/8/3p4/8/8/8/3R4/4K3 w - -");
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 43, false), 100 - 530);

  // The least valuable attacker goes first; a given one is used as told.
  board = setup("4k3/8/8/3r4/4P3/8/3Q4/4K3 w - -");
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 35, false), 530);
  EXPECT_EQ(swap(board, WHITE, 11, 35, false), 530);

  // Kings: capturing a king is worth everything; a king may not recapture
  // into a defended square.
  board = setup("4k3/8/8/8/b7/8/3q4/3QK3 b - -");
  EXPECT_EQ(swap(board, BLACK, 11, 3, false), 1060);
  board = setup("4k3/8/8/8/8/8/3q4/3QK3 b - -");
  EXPECT_EQ(swap(board, BLACK, 11, 3, false), 1060 - 1060);
  board = setup("4k3/8/8/8/8/8/3q4/4K3 b - -");
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 11, false), 1060);
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 60, false), 0);  // no attacker
  EXPECT_EQ(swap(board, BLACK, NO_SQUARE, 4, false), 9999);
}

TEST(Exchange, SeeOk) {
  Board* board = setup("4k3/8/3p4/4p3/8/8/4Q3/4K3 w - -");
  board_test::Snapshot before = board_test::snapshot(board);
  EXPECT_FALSE(see_ok(board, capture(12, 36)));  // queen takes a defended pawn
  EXPECT_EQ(board_test::difference(board_test::snapshot(board), before), "");
  board = setup("4k3/8/8/4q3/3P4/8/8/4K3 w - -");
  EXPECT_TRUE(see_ok(board, capture(27, 36)));  // pawn takes queen
  board = setup("4k3/8/8/4p3/8/8/4Q3/4K3 w - -");
  EXPECT_TRUE(see_ok(board, capture(12, 36)));  // undefended pawn
  board = setup("4k3/8/5n2/3p4/8/8/8/3RK3 w - -");
  EXPECT_FALSE(see_ok(board, capture(3, 35)));  // rook for pawn, knight recaptures
  board = setup("4k3/8/3p4/4n3/8/5N2/8/4K3 w - -");
  EXPECT_TRUE(see_ok(board, capture(21, 36)));  // knight for knight
  board = setup("8/8/8/3k4/4p3/8/8/4K3 b - -");
  EXPECT_TRUE(see_ok(board, capture(35, 28)));  // king takes: coarse value 0
}
