#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

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

// Reads a record; returns its castling rights and what it printed.
std::pair<int, std::string> castling_of(const char* fen) {
  CaptureStdout();
  int castle = setup(fen)->castle;
  return {castle, GetCapturedStdout()};
}

}  // namespace

TEST(Fen, StartPositionAndRoundTrips) {
  Board* board = setup(START_FEN);
  // Material, signatures, the first king and rook squares (lists fill in
  // reading order, a8 towards h1) and the ply.
  EXPECT_EQ(std::tuple(board->material[WHITE] + board->material[BLACK], board->signature[WHITE],
                       board->signature[BLACK], int(board->plist[WHITE_KING][0]), int(board->plist[BLACK_KING][0]),
                       int(board->plist[BLACK_ROOK][0]), int(board->thread->ply)),
            std::tuple(64, 74280u, 74280u, 4, 60, 56, 1));
  EXPECT_EQ(fen_of(board), START_FEN);
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  for (const auto& record : records) {
    EXPECT_EQ(fen_of(setup(record.fen.c_str())), record.fen);
    EXPECT_TRUE(board_consistent(&board_test::thread()->board));
  }
  EXPECT_EQ(setup("8/8/8/8/8/8/8/8 w - - 17 42")->fifty, 0);
}

// The makemove tests lean on board_consistent; it must notice any one view
// that disagrees with the squares.
TEST(Fen, ConsistencyCheckSeesEachViewGoWrong) {
  const std::function<void(Board*)> faults[] = {
      [](Board* b) { b->bb[0] ^= 1; },                   [](Board* b) { b->bb[8] ^= 1ull << 63; },
      [](Board* b) { b->bb[WHITE_PAWN] ^= 1ull << 20; }, [](Board* b) { b->plist[0][0] = 4; },
      [](Board* b) { b->plist[BLACK_ROOK][0] = 63; },    [](Board* b) { b->plist[WHITE_KING][1] = 3; },
      [](Board* b) { b->signature[BLACK] += 1; },        [](Board* b) { b->material[WHITE] -= 1; },
      [](Board* b) { b->key ^= 1; },                     [](Board* b) { b->pawn_key ^= 1; },
      [](Board* b) { b->ep = 65; },                      [](Board* b) { b->castle = 16; },
      [](Board* b) { b->side = 2; },                     [](Board* b) { b->squares[20] = 7; },
  };
  int n = 0;
  for (const auto& fault : faults) {
    Board* board = setup(START_FEN);
    ASSERT_TRUE(board_consistent(board));
    fault(board);
    EXPECT_FALSE(board_consistent(board)) << "fault " << n++;
  }
}

TEST(Fen, FieldRules) {
  using Result = std::pair<int, std::string>;
  EXPECT_EQ(castling_of("8/8/8/8/8/8/8/8 w KQkq -"), Result(0, "Illegal EPD record\n"));
  EXPECT_EQ(castling_of("4k3/8/8/8/8/8/8/R3K2R w KQ -"), Result(CASTLE_WK | CASTLE_WQ, ""));
  EXPECT_EQ(castling_of("4k3/8/8/8/8/8/8/R3K1R1 w KQ -"), Result(CASTLE_WQ, "Illegal EPD record\n"));

  // A digit run stops on the h-file; an unknown letter takes a square.
  EXPECT_EQ(fen_of(setup("p8/P7/8/8/8/8/8/8 w - -")), "p7/P7/8/8/8/8/8/8 w - -");
  EXPECT_EQ(fen_of(setup("x6K/8/8/8/8/8/8/8 w - -")), "7K/8/8/8/8/8/8/8 w - -");
  // A side that is neither w nor b leaves the side to move as it was.
  setup("8/8/8/8/8/8/8/8 b - -");
  EXPECT_EQ(setup("8/8/8/8/8/8/8/8 x - -")->side, BLACK);
  // En passant: a real target is kept, an impossible one dropped.
  EXPECT_EQ(setup("8/8/8/8/4P3/8/8/8 b - e3")->ep, 20);
  EXPECT_EQ(setup("8/8/8/8/8/8/8/8 b - e3")->ep, NO_SQUARE);
  EXPECT_EQ(setup("8/8/8/8/4P3/8/8/8 b - 5")->ep, NO_SQUARE);
}

TEST(Fen, MalformedTextStaysInside) {
  // Ranks past the eighth, a tenth queen, a second king, pieces piling on h8.
  EXPECT_EQ(fen_of(setup("8/8/8/8/8/8/8/8/KKKK/pppp w - -")), "8/8/8/8/8/8/8/8 w - -");
  EXPECT_EQ(fen_of(setup("QQQQQQQQ/QQ6/8/8/8/8/8/K6K w - -")), "QQQQQQQQ/Q7/8/8/8/8/8/K7 w - -");
  EXPECT_EQ(fen_of(setup("7kpk/8/8/8/8/8/8/8 w - -")), "7k/8/8/8/8/8/8/8 w - -");
  // Text ending after the placement reads as "w - -"; empty text is an empty board.
  EXPECT_EQ(fen_of(setup("4k3/8/8/8/8/8/8/4K2R")), "4k3/8/8/8/8/8/8/4K2R w - -");
  EXPECT_EQ(fen_of(setup("")), "8/8/8/8/8/8/8/8 w - -");
}

TEST(Fen, Diagram) {
  setup("4k3/8/8/8/8/8/4P3/4K3 w - -");
  CaptureStdout();
  print_board(&board_test::thread()->board);
  EXPECT_EQ(GetCapturedStdout(),
            "4k3/8/8/8/8/8/4P3/4K3 w - -\n  - + - + k + - +\n  + - + - + - + -\n  - + - + - + - +\n"
            "  + - + - + - + -\n  - + - + - + - +\n  + - + - + - + -\n  - + - + P + - +\n  + - + - K - + -\n"
            "white\n\n");
}
