#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "board/see.h"
#include "board_support.h"

using board_test::setup;

TEST(Exchange, Swap) {
  Board* board = setup("4k3/8/3p4/4p3/8/5N2/8/4K3 w - -");  // knight against a defended pawn
  auto before = board_test::snapshot(board);
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 36, false), 100 - 330);
  EXPECT_EQ(swap(board, WHITE, NO_SQUARE, 36, true), 0);
  EXPECT_EQ(board_test::difference(board_test::snapshot(board), before), "");

  // The queen behind the rook joins in once the rook has gone; a king
  // recaptures only into an undefended square.
  for (auto [fen, side, from, to, value] : {
           std::tuple{"3rk3/8/3p4/8/8/8/3R4/3QK3 w - -", WHITE, NO_SQUARE, 43, 100},
           {"3rk3/8/3p4/8/8/8/3R4/4K3 w - -", WHITE, NO_SQUARE, 43, 100 - 530},
           {"4k3/8/8/8/8/8/3q4/3QK3 b - -", BLACK, 11, 3, 0}, {"4k3/8/8/8/b7/8/3q4/3QK3 b - -", BLACK, 11, 3, 1060},
           {"4k3/8/8/8/8/8/3q4/4K3 b - -", BLACK, NO_SQUARE, 4, 9999},
           {"4k3/8/8/8/8/8/3q4/4K3 b - -", WHITE, NO_SQUARE, 60, 0}})
    EXPECT_EQ(swap(setup(fen), side, from, to, false), value) << fen << " " << side;
}

// Each verdict leaves the board as it found it.
TEST(Exchange, SeeOk) {
  for (auto [fen, from, to, good] : {
           std::tuple{"4k3/8/3p4/4p3/8/8/4Q3/4K3 w - -", 12, 36, false},  // queen takes a defended pawn
           {"4k3/8/8/4q3/3P4/8/8/4K3 w - -", 27, 36, true}, {"4k3/8/8/4p3/8/8/4Q3/4K3 w - -", 12, 36, true},
           {"4k3/8/5n2/3p4/8/8/8/3RK3 w - -", 3, 35, false},
           // Rook takes pawn, knight takes rook, bishop takes knight: -100 in all.
           {"4k3/5n2/8/4p3/8/2B5/8/4RK2 w - -", 4, 36, false},
           {"8/8/8/3k4/4p3/8/8/4K3 b - -", 35, 28, true}}) {
    Board* board = setup(fen);
    auto before = board_test::snapshot(board);
    EXPECT_EQ(see_ok(board, make_move_word(from, to)), good) << fen;
    EXPECT_EQ(board_test::difference(board_test::snapshot(board), before), "") << fen;
  }
}

// The early-deciding form must give the full exchange's answer at every
// threshold, above all near the piece values where its shortcuts cut in.
TEST(Exchange, SwapAtLeastAgreesWithSwap) {
  TARN_REQUIRE_SHARED("perft.epd");
  std::mt19937 rng(17);
  const int thresholds[] = {-9999, -331, -230, -75, -74, 0, 1, 99, 100, 101, 330, 331, 9999, 10000};
  for (const auto& record : board_test::perft_records()) {
    Board* board = setup(record.fen.c_str());
    board_test::random_walk(board, rng, static_cast<int>(rng() % 60));
    const Bitboard occ = occupancy(board);
    for (int side : {WHITE, BLACK})
      for (int square = 0; square < 64; ++square) {
        std::vector<int> firsts{NO_SQUARE};
        for (Bitboard b = board->bb[8 * side]; b;) firsts.push_back(pop_lsb(b));
        for (int from : firsts)
          for (bool optional : {false, true}) {
            const int value = swap(board, side, from, square, occ, optional);
            for (int t : thresholds)
              ASSERT_EQ(swap_at_least(board, side, from, square, occ, optional, t), value >= t)
                  << record.fen << " side " << side << " from " << from << " to " << square << " at " << t;
          }
      }
  }
}
