#include <gtest/gtest.h>

#include "board/fen.h"
#include "board/keys.h"
#include "board_support.h"

namespace {

// The raw generator stream, to see where candidates were replaced.
std::vector<uint64_t> raw_draws(int count) {
  std::vector<uint64_t> draws;
  uint32_t x = 1;
  for (int i = 0; i < count; ++i) {
    x = x * 98765u + 123456789u;
    uint64_t high = x;
    x = x * 98765u + 123456789u;
    draws.push_back(high << 32 | x);
  }
  return draws;
}

}  // namespace

TEST(Keys, KnownValuesAndSingleReplacement) {
  board_test::thread();
  EXPECT_EQ(zobrist[0], 0x075D4EE240B5DA0Full);
  EXPECT_EQ(zobrist[1 * 64 + 12], 0xBCC897CAE04423D7ull);

  // Exactly one candidate, the first for index 923, was replaced, and it
  // really was too close to index 413.
  std::vector<uint64_t> raw = raw_draws(1024 + 1 + 66);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(zobrist[i], raw[i < 923 ? i : i + 1]) << i;
  for (int i = 0; i < 66; ++i) ASSERT_EQ(zobrist_state[i], raw[1025 + i]) << i;
  uint64_t diff = raw[923] ^ zobrist[413];
  EXPECT_TRUE(std::popcount(static_cast<uint32_t>(diff)) < 4 || std::popcount(static_cast<uint32_t>(diff >> 32)) < 4);
}

TEST(Keys, StartPositionAndFullKey) {
  Board* board = board_test::setup(START_FEN);
  EXPECT_EQ(board->key, 0xC64AB48A02E5CD02ull);
  EXPECT_EQ(board->pawn_key, 0xA7FCE50081F80500ull);
  EXPECT_EQ(full_key(board), 0x23166FD0A03722A0ull);

  // The same placement with another side, rights or en-passant square is a
  // different position, but the placement key ignores all three.
  uint64_t start_key = board->key, start_full = full_key(board);
  board = board_test::setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -");
  EXPECT_EQ(board->key, start_key);
  EXPECT_EQ(full_key(board), start_full ^ ~0ull);
  board = board_test::setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kkq -");
  EXPECT_NE(full_key(board), start_full);
}
