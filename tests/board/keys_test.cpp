#include <gtest/gtest.h>

#include "board/fen.h"
#include "board/keys.h"
#include "board_support.h"

TEST(Keys, KnownValuesAndTheOneReplacedCandidate) {
  board_test::thread();
  EXPECT_EQ(zobrist[0], 0x075D4EE240B5DA0Full);
  EXPECT_EQ(zobrist[1 * 64 + 12], 0xBCC897CAE04423D7ull);
  // Replay the raw stream: only the first draw for index 923 was skipped,
  // and it was poor against index 413.
  std::vector<uint64_t> raw;
  for (uint32_t x = 1, i = 0; i < 1024 + 1 + 66; ++i) {
    uint64_t high = x = x * 98765u + 123456789u;
    x = x * 98765u + 123456789u;
    raw.push_back(high << 32 | x);
  }
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(zobrist[i], raw[i < 923 ? i : i + 1]) << i;
  for (int i = 0; i < 66; ++i) ASSERT_EQ(zobrist_state[i], raw[1025 + i]) << i;
  uint64_t diff = raw[923] ^ zobrist[413];
  EXPECT_TRUE(std::popcount(uint32_t(diff)) < 4 || std::popcount(uint32_t(diff >> 32)) < 4);
}

TEST(Keys, StartPositionAndFullKey) {
  Board* board = board_test::setup(START_FEN);
  EXPECT_EQ(board->key, 0xC64AB48A02E5CD02ull);
  EXPECT_EQ(board->pawn_key, 0xA7FCE50081F80500ull);
  EXPECT_EQ(full_key(board), 0x23166FD0A03722A0ull);
  // Side, rights and en passant change only the full key.
  board = board_test::setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b Kkq -");
  EXPECT_EQ(board->key, 0xC64AB48A02E5CD02ull);
  EXPECT_EQ(full_key(board), 0x23166FD0A03722A0ull ^ ~0ull ^ zobrist_state[15] ^ zobrist_state[13]);
}
