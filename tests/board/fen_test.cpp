#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "board/fen.h"
#include "board_support.h"

using board_test::setup;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

std::string fen_of(const Board* board) {
  char text[FEN_BUFFER];
  board_to_fen(board, text);
  return text;
}

// Reads a record and returns what it printed.
std::string read_printing(const char* fen) {
  CaptureStdout();
  setup(fen);
  return GetCapturedStdout();
}

}  // namespace

TEST(Fen, StartPosition) {
  Board* board = setup(START_FEN);
  EXPECT_EQ(board->material[WHITE], 32);
  EXPECT_EQ(board->material[BLACK], 32);
  EXPECT_EQ(board->signature[WHITE], 74280u);
  EXPECT_EQ(board->signature[BLACK], 74280u);
  EXPECT_EQ(board->castle, 15);
  EXPECT_EQ(board->ep, NO_SQUARE);
  EXPECT_EQ(board->plist[WHITE_KING][0], 4);
  EXPECT_EQ(board->plist[BLACK_KING][0], 60);
  // Lists follow reading order, a8 towards h1.
  EXPECT_EQ(board->plist[BLACK_ROOK][0], 56);
  EXPECT_EQ(board->plist[WHITE_PAWN][0], 8);
  EXPECT_EQ(board->plist[WHITE_PAWN][7], 15);
  EXPECT_EQ(board->plist[WHITE_PAWN][8], NO_SQUARE);
  EXPECT_EQ(board->thread->ply, 1);
  EXPECT_EQ(board->thread->history_count, 0);
  EXPECT_TRUE(board_consistent(board));
  EXPECT_EQ(fen_of(board), START_FEN);
}

TEST(Fen, RecordsRoundTrip) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  for (const auto& record : records) {
    Board* board = setup(record.fen.c_str());
    EXPECT_EQ(fen_of(board), record.fen);
    EXPECT_TRUE(board_consistent(board));
  }
  Board* board = setup("8/8/8/8/8/8/8/8 w - - 17 42");
  EXPECT_EQ(board->fifty, 0);
}

TEST(Fen, CastlingRightsNeedKingAndRookAtHome) {
  EXPECT_EQ(read_printing("8/8/8/8/8/8/8/8 w KQkq -"), "Illegal EPD record\n");
  EXPECT_EQ(setup("8/8/8/8/8/8/8/8 w KQkq -")->castle, 0);

  EXPECT_EQ(read_printing("4k3/8/8/8/8/8/8/R3K2R w KQ -"), "");
  EXPECT_EQ(setup("4k3/8/8/8/8/8/8/R3K2R w KQ -")->castle, CASTLE_WK | CASTLE_WQ);
  EXPECT_EQ(read_printing("4k3/8/8/8/8/8/8/R3K1R1 w KQ -"), "Illegal EPD record\n");
  EXPECT_EQ(setup("4k3/8/8/8/8/8/8/R3K1R1 w KQ -")->castle, CASTLE_WQ);
  EXPECT_EQ(setup("r3k2r/8/8/8/8/8/8/4K3 b kq -")->castle, CASTLE_BK | CASTLE_BQ);
}

TEST(Fen, LooseFieldRules) {
  // A digit run stops on the h-file instead of running into the next rank.
  Board* board = setup("p8/P7/8/8/8/8/8/8 w - -");
  EXPECT_EQ(board->squares[56], BLACK_PAWN);
  EXPECT_EQ(board->squares[48], WHITE_PAWN);
  // Unknown placement characters take a square each.
  board = setup("x7/8/8/8/8/8/8/7K w - -");
  EXPECT_EQ(board->squares[57], EMPTY);
  EXPECT_EQ(board->squares[7], WHITE_KING);

  // A side field that is neither w nor b keeps the side to move.
  setup("8/8/8/8/8/8/8/8 b - -");
  EXPECT_EQ(setup("8/8/8/8/8/8/8/8 x - -")->side, BLACK);
  EXPECT_EQ(setup("8/8/8/8/8/8/8/8 w - -")->side, WHITE);

  // En passant: a real target is kept, an impossible one dropped.
  EXPECT_EQ(setup("8/8/8/8/4P3/8/8/8 b - e3")->ep, 20);
  EXPECT_EQ(setup("8/8/8/8/8/8/8/8 b - e3")->ep, NO_SQUARE);
  EXPECT_EQ(setup("8/8/8/8/4P3/8/8/8 b - 5")->ep, NO_SQUARE);
}

TEST(Fen, MalformedTextStaysInside) {
  // More than eight ranks: the excess is dropped.
  Board* board = setup("8/8/8/8/8/8/8/8/KKKKKKKK/pppp w - -");
  EXPECT_EQ(board->bb[WHITE_KING] | board->bb[BLACK_PAWN], 0u);
  // More than nine of one code: the tenth is dropped, and a second king.
  board = setup("QQQQQQQQ/QQ6/8/8/8/8/8/K6K w - -");
  EXPECT_EQ(popcount(board->bb[WHITE_QUEEN]), 9);
  EXPECT_EQ(popcount(board->bb[WHITE_KING]), 1);
  EXPECT_TRUE(board_consistent(board));
  // A record that ends after the placement, or an empty one.
  setup("8/8/8/8/8/8/8/8 w - -");
  board = setup("4k3/8/8/8/8/8/8/4K2R");
  EXPECT_EQ(board->side, WHITE);
  EXPECT_EQ(board->castle, 0);
  EXPECT_EQ(board->ep, NO_SQUARE);
  board = setup("");
  EXPECT_EQ(board->bb[0] | board->bb[8], 0u);

  // Random bytes, in a buffer with nothing readable after the NUL.
  std::mt19937 rng(3);
  CaptureStdout();  // "Illegal EPD record" now and then
  const char alphabet[] = "pnbrqkPNBRQK12345678/ -wbKQkqabcdefgh90x";
  int survived = 0;
  for (int i = 0; i < 20000; ++i) {
    char text[96];
    int n = static_cast<int>(rng() % 95);
    for (int j = 0; j < n; ++j)
      text[j] = (i & 1) ? static_cast<char>(1 + rng() % 255) : alphabet[rng() % (sizeof alphabet - 1)];
    text[n] = '\0';
    board = setup(text);
    if (!board_consistent(board)) break;
    if (popcount(board->bb[WHITE_KING]) > 1 || popcount(board->bb[BLACK_KING]) > 1) break;
    ++survived;
  }
  GetCapturedStdout();
  EXPECT_EQ(survived, 20000);
}

TEST(Fen, Diagram) {
  setup("4k3/8/8/8/8/8/4P3/4K3 w - -");
  CaptureStdout();
  print_board(&board_test::thread()->board);
  std::string text = GetCapturedStdout();
  EXPECT_EQ(text,
            "4k3/8/8/8/8/8/4P3/4K3 w - -\n"
            "  - + - + k + - +\n"
            "  + - + - + - + -\n"
            "  - + - + - + - +\n"
            "  + - + - + - + -\n"
            "  - + - + - + - +\n"
            "  + - + - + - + -\n"
            "  - + - + P + - +\n"
            "  + - + - K - + -\n"
            "white\n\n");
}
