#include <gtest/gtest.h>

#include <random>

#include "board/attacks.h"
#include "board_support.h"

TEST(Bits, ScansAndCountsMatchTheirDefinitions) {
  EXPECT_EQ(lsb_index[0], 63);
  EXPECT_EQ(lsb_index[63], 8);
  for (int n = 1; n < 256; ++n) ASSERT_EQ(msb8[n], std::bit_width(unsigned(n)) - 1) << n;
  EXPECT_EQ(msb8[0], 0);
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    // Single bits, then every run of low bits (each byte and half boundary),
    // then random sets.
    Bitboard b = i < 64    ? square_bit(i)
                 : i < 128 ? (square_bit(i - 64) << 1) - 1
                 : (i & 1) ? rng() & rng() & rng()
                           : rng();
    if (!b) continue;
    ASSERT_EQ(lsb(b), lsb_folded(b)) << b;
    ASSERT_EQ(msb(b), msb_by_bytes(b)) << b;
    ASSERT_EQ(popcount(b), popcount_parallel(b)) << b;
  }
  EXPECT_EQ(popcount_parallel(~0ull), 64);
}

TEST(Attacks, SlidersAndGeometry) {  // the slider sets are exercised in depth by perft
  board_test::thread();
  // The lookup tables agree with the rays on every square, for sparse and
  // dense occupancies (including the slider's own square).
  std::mt19937_64 rng(11);
  for (int i = 0; i < 4000; ++i) {
    Bitboard occ = (i & 1) ? rng() & rng() : rng() | rng();
    for (int sq = 0; sq < 64; ++sq) {
      ASSERT_EQ(rook_attacks(sq, occ), rook_attacks_by_rays(sq, occ)) << sq << " " << occ;
      ASSERT_EQ(bishop_attacks(sq, occ), bishop_attacks_by_rays(sq, occ)) << sq << " " << occ;
    }
  }
  EXPECT_EQ(popcount(rook_attacks(0, 0)), 14);
  EXPECT_EQ(rook_attacks(0, square_bit(24)) & 0x0101010101010101ull, 0x01010100ull);
  EXPECT_EQ(bishop_attacks(63, square_bit(0)), 0x0040201008040201ull);
  EXPECT_EQ(between[0][63], 0x0040201008040200ull);
  EXPECT_EQ(between[0][17] | between[0][1], 0u);
  EXPECT_EQ(pawn_attacks[WHITE][8], square_bit(17));
  EXPECT_EQ(pawn_attacks[BLACK][15], square_bit(6));
  EXPECT_EQ(passed_span[WHITE][12], 0x3838383838380000ull);
  EXPECT_EQ(passed_span[BLACK][8], 0x3ull);
  EXPECT_EQ(adjacent_files[0], 0x0202020202020202ull);
}
