#include <gtest/gtest.h>

#include <random>

#include "board/attacks.h"
#include "board_support.h"

namespace {

// Attacks by walking each direction square by square, for comparison.
Bitboard walk(int square, Bitboard occ, const int (*dirs)[2]) {
  Bitboard result = 0;
  for (int d = 0; d < 4; ++d) {
    int f = square % 8 + dirs[d][0], r = square / 8 + dirs[d][1];
    for (; f >= 0 && f < 8 && r >= 0 && r < 8; f += dirs[d][0], r += dirs[d][1]) {
      result |= square_bit(r * 8 + f);
      if (occ & square_bit(r * 8 + f)) break;
    }
  }
  return result;
}
const int rook_dirs[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
const int bishop_dirs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

}  // namespace

TEST(Bits, ScansAndCountsMatchTheirDefinitions) {
  EXPECT_EQ(lsb_index[0], 63);
  EXPECT_EQ(lsb_index[30], 0);
  EXPECT_EQ(lsb_index[63], 8);
  EXPECT_EQ(msb8[0], 0);
  EXPECT_EQ(msb8[1], 0);
  for (int n = 2; n < 256; ++n) ASSERT_EQ(msb8[n], std::bit_width(static_cast<unsigned>(n)) - 1) << n;

  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    // Sparse and dense values, and every single bit.
    Bitboard b = i < 64 ? square_bit(i) : (i & 1) ? rng() & rng() & rng() : rng();
    if (!b) continue;
    ASSERT_EQ(lsb(b), lsb_folded(b)) << b;
    ASSERT_EQ(msb(b), msb_by_bytes(b)) << b;
    ASSERT_EQ(popcount(b), popcount_parallel(b)) << b;
  }
  EXPECT_EQ(popcount_parallel(0), 0);
  EXPECT_EQ(popcount_parallel(~0ull), 64);
}

TEST(Attacks, SlidersAgreeWithWalking) {
  board_test::thread();
  EXPECT_EQ(popcount(rook_attacks(0, 0)), 14);
  EXPECT_EQ(rook_attacks(0, square_bit(24)) & 0x0101010101010101ull, 0x01010100ull);
  EXPECT_EQ(bishop_attacks(63, square_bit(0)), 0x0040201008040201ull);

  std::mt19937_64 rng(11);
  for (int i = 0; i < 4000; ++i) {
    Bitboard occ = rng() & rng();
    int sq = static_cast<int>(rng() % 64);
    ASSERT_EQ(rook_attacks(sq, occ), walk(sq, occ, rook_dirs));
    ASSERT_EQ(bishop_attacks(sq, occ), walk(sq, occ, bishop_dirs));
  }
}

TEST(Attacks, GeometryTables) {
  board_test::thread();
  EXPECT_EQ(between[0][63], 0x0040201008040200ull);
  EXPECT_EQ(between[0][17], 0u);  // a1-b3: not aligned
  EXPECT_EQ(between[0][1], 0u);
  EXPECT_EQ(between[60][4], 0x0010101010101000ull);
  EXPECT_EQ(pawn_attacks[WHITE][8], square_bit(17));       // a2 -> b3 only
  EXPECT_EQ(pawn_attacks[BLACK][15], square_bit(6));       // h2 -> g1 only
  EXPECT_EQ(pawn_attacks[WHITE][60], 0u);
  EXPECT_EQ(popcount(knight_attacks[0]), 2);
  EXPECT_EQ(popcount(king_attacks[27]), 8);
  EXPECT_EQ(adjacent_files[0], 0x0202020202020202ull);
  EXPECT_EQ(beside[7], square_bit(6));
  EXPECT_EQ(passed_span[WHITE][12], 0x3838383838380000ull);  // e2: d-f files, ranks 3-8
  EXPECT_EQ(passed_span[BLACK][8], 0x0000000000000003ull);   // a2: a1, b1
  EXPECT_EQ(passed_span[WHITE][60], 0u);
}
