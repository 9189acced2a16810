// Which positions the board lets in, and why it refuses the others.
#include <gtest/gtest.h>

#include <string>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/position_check.h"
#include "board_support.h"

using board_test::setup;

namespace {

std::string reason(const char* fault) { return fault ? fault : "accepted"; }

}  // namespace

TEST(PositionCheck, RefusedRecordsLeaveTheGameAsItWas) {
  const std::pair<const char*, const char*> cases[] = {  // the record, the verdict
      {START_FEN, "accepted"},
      {"4k3/8/8/8/8/8/3P4/8 w - -", "no white king"},
      {"KK6/8/8/8/8/8/8/k7 w - -", "more than one white king"},
      {"8/8/6k1/5K2/3p4/8/8/8 w - -", "black is in check with white to move"},
      {"8/8/8/4k3/3P4/8/8/4K3 w - -", "black is in check with white to move"},
      {"4k3/8/8/8/8/8/8/p3K3 b - -", "black pawn on a1"},
      {"4kP2/8/8/8/8/8/8/4K3 b - -", "white pawn on f8"},
      // A side's pawns count against every one of its lists, since each
      // may still promote: nine knights and a pawn fit, ten do not.
      {"4k3/P7/8/8/8/NNNNNNNN/N7/2B1K3 w - -", "accepted"},
      {"4k3/P7/8/8/8/NNNNNNNN/NN6/2B1K3 w - -", "too many white knights"},
      {"r6k/1P4pp/8/8/8/8/RRRRRRRR/R2QK3 w - -", "accepted"},
      {"QQQQQQQQ/Q7/8/8/8/8/8/K6k b - -", "accepted"},
      {"QQQQQQQQ/Q7/8/8/8/8/P7/K6k b - -", "too many white queens"},
      {"k7/pppppppp/p7/8/8/8/8/K7 w - -", "too many black pawns"},
      {"bbbbbbbb/bbb5/8/8/8/8/8/K6k w - -", "too many black bishops"},
  };
  for (auto [fen, expected] : cases) {
    Board* board = setup("4k3/8/8/8/8/8/4P3/4K3 w - -");
    make_move(board, make_move_word(12, 28));  // a move in the history
    board_test::Snapshot before = board_test::snapshot(board);
    std::string got = reason(set_position(board, fen));
    EXPECT_EQ(got, expected) << fen;
    if (got != "accepted") {
      EXPECT_EQ(board_test::difference(before, board_test::snapshot(board)), "") << fen;
    }
  }
}

TEST(PositionCheck, DamagedBoardsAndFullLists) {
  Board* board = setup("r3k2r/8/8/3pP3/8/8/8/R3K2R w KQkq d6");
  EXPECT_EQ(reason(position_fault(board)), "accepted");
  board->ep = 44;  // e6: no black pawn passed it
  EXPECT_EQ(reason(position_fault(board)), "no pawn passed the en-passant square");
  board->ep = NO_SQUARE;
  board->castle = CASTLE_WK;
  board->squares[7] = EMPTY;  // the rook's square, as an editor could leave it
  EXPECT_EQ(reason(position_fault(board)), "castling right without king and rook at home");

  // Ten knights after the promotion, the bishop's list untouched; undone exactly.
  board = setup("4k3/P7/8/8/8/NNNNNNNN/N7/2B1K3 w - -");
  board_test::Snapshot before = board_test::snapshot(board);
  make_move(board, make_move_word(48, 56) | PROMOTE_KNIGHT);
  EXPECT_TRUE(board_consistent(board));
  EXPECT_EQ(popcount(board->bb[WHITE_KNIGHT]), 10);
  EXPECT_EQ(board->plist[WHITE_BISHOP][0], 2);
  unmake_move(board);
  EXPECT_EQ(board_test::difference(before, board_test::snapshot(board)), "");
}
