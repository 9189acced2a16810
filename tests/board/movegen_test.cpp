#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board_support.h"

using board_test::setup;

namespace {

std::vector<std::string> texts(const MoveEntry* begin, const MoveEntry* end) {
  std::vector<std::string> result;
  for (; begin != end; ++begin) {
    char text[MOVE_TEXT_SIZE];
    move_text_plain(begin->move, text);
    result.push_back(text);
  }
  return result;
}

}  // namespace

TEST(MoveGen, StartPositionOrder) {
  Board* board = setup(START_FEN);
  MoveEntry* list = gen_all(board);
  SearchThread* t = board->thread;
  ASSERT_EQ(t->list_start[t->ply + 1] - list, 21);  // 20 moves and the terminator
  EXPECT_EQ(list[20].move, MOVE_END);
  std::vector<std::string> expected = {"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3",
                                       "d2d4", "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4",
                                       "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3"};
  EXPECT_EQ(texts(list, list + 20), expected);
  EXPECT_EQ(list[17].piece, WHITE_KNIGHT);
}

TEST(MoveGen, PromotionsCapturesAndCastling) {
  settings.protocol = 2;
  MoveEntry list[MAX_MOVES];
  Board* board = setup("3n1n2/4P3/8/8/8/8/8/4K2k w - -");
  MoveEntry* end = gen_promotions(board, WHITE, true, list);
  EXPECT_EQ(texts(list, end), (std::vector<std::string>{"e7e8q", "e7e8n", "e7e8b", "e7e8r", "e7d8q", "e7d8n",
                                                        "e7d8b", "e7d8r", "e7f8q", "e7f8n", "e7f8b", "e7f8r"}));
  EXPECT_EQ(list[4].captured, BLACK_KNIGHT);
  end = gen_promotions(board, WHITE, false, list);
  EXPECT_EQ(texts(list, end), (std::vector<std::string>{"e7e8q", "e7d8q", "e7f8q"}));

  // Pawn captures: every +7 capture before any +9; en passant has no victim.
  board = setup("4k3/8/8/n1pPp3/1P6/8/8/4K3 w - e6");
  end = gen_pawn_captures(board, WHITE, list);
  EXPECT_EQ(texts(list, end), (std::vector<std::string>{"b4a5", "b4c5", "d5e6"}));
  EXPECT_EQ(end[-1].captured, EMPTY);

  // Castling is generated in check (is_legal rejects it), and with a right
  // whose rook has gone.
  board = setup("4k3/8/8/8/8/8/4r3/R3K2R w KQ -");
  end = gen_quiets(board, WHITE, list);
  EXPECT_EQ(texts(end - 2, end), (std::vector<std::string>{"e1g1", "e1c1"}));
  EXPECT_FALSE(is_legal(board, WHITE, end[-1].move));
  board = setup("4k3/8/8/8/8/8/8/4K2R w K -");
  remove_piece(board, 7);
  end = gen_quiets(board, WHITE, list);
  EXPECT_EQ(texts(end - 1, end), (std::vector<std::string>{"e1g1"}));
}
