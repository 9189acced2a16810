#include <gtest/gtest.h>

#include <string>

#include "board/fen.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board_support.h"

using board_test::setup;

namespace {

std::string texts(const MoveEntry* begin, const MoveEntry* end) {
  std::string result;
  for (char text[MOVE_TEXT_SIZE]; begin != end; ++begin) {
    move_text_plain(begin->move, text);
    result += result.empty() ? text : std::string(" ") + text;
  }
  return result;
}

}  // namespace

TEST(MoveGen, Order) {
  settings.protocol = 2;
  Board* board = setup(START_FEN);
  MoveEntry* list = gen_all(board);
  EXPECT_EQ(board->thread->list_start[2] - list, 21);  // 20 moves and the terminator
  EXPECT_EQ(texts(list, list + 21 - 1),
            "a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 h2h3 h2h4 b1a3 b1c3 g1f3 g1h3");
  EXPECT_EQ(list[20].move, MOVE_END);

  MoveEntry moves[MAX_MOVES];
  board = setup("3n1n2/4P3/8/8/8/8/8/4K2k w - -");
  EXPECT_EQ(texts(moves, gen_promotions(board, WHITE, true, moves)),
            "e7e8q e7e8n e7e8b e7e8r e7d8q e7d8n e7d8b e7d8r e7f8q e7f8n e7f8b e7f8r");
  EXPECT_EQ(moves[4].captured, BLACK_KNIGHT);
  EXPECT_EQ(texts(moves, gen_promotions(board, WHITE, false, moves)), "e7e8q e7d8q e7f8q");

  // Every capture towards +7 before any towards +9; en passant has no victim.
  board = setup("4k3/8/8/n1pPp3/1P6/8/8/4K3 w - e6");
  MoveEntry* end = gen_pawn_captures(board, WHITE, moves);
  EXPECT_EQ(texts(moves, end), "b4a5 b4c5 d5e6");
  EXPECT_EQ(end[-1].captured, EMPTY);
  // Castling is generated in check; the legality test rejects it.
  board = setup("4k3/8/8/8/8/8/4r3/R3K2R w KQ -");
  end = gen_quiets(board, WHITE, moves);
  EXPECT_EQ(texts(end - 2, end), "e1g1 e1c1");
  EXPECT_FALSE(is_legal(board, WHITE, end[-1].move));
}
