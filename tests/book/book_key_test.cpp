#include <gtest/gtest.h>

#include <cstring>

#include "book/book_key.h"
#include "book/book_record.h"

namespace {

void start_squares(uint8_t sq[64]) {
  const uint8_t back[8] = {4, 2, 3, 5, 6, 3, 2, 4};
  std::memset(sq, 0, 64);
  for (int f = 0; f < 8; f++) {
    sq[f] = back[f];
    sq[8 + f] = 1;
    sq[48 + f] = 9;
    sq[56 + f] = uint8_t(back[f] + 8);
  }
}

}  // namespace

TEST(BookKey, TableStartsFromTheGenerator) {
  init_book_keys();
  // x = 33 * 77 + 12345 = 14886; then 33 * 14886 + 12345 = 503583 = 0x7AF1F.
  EXPECT_EQ(book_key_table[0], 14886);
  EXPECT_EQ(book_key_table[1], 0xAF1F);
  // The 32-bit state wraps: recompute the last entry with 64-bit arithmetic.
  uint64_t x = 77;
  for (int i = 0; i < BOOK_KEY_COUNT; i++) x = (33 * x + 12345) % 4294967296ull;
  EXPECT_EQ(book_key_table[BOOK_KEY_COUNT - 1], x & 0xFFFF);
}

TEST(BookKey, SideToMoveAndEnPassant) {
  init_book_keys();
  uint8_t sq[64];
  start_squares(sq);
  BookKey white = book_key_of(sq, 0, 64);
  BookKey black = book_key_of(sq, 1, 64);
  // key32 covers every piece whoever moves; key16 only the mover's pieces.
  EXPECT_EQ(white.key32, black.key32);
  EXPECT_NE(white.key16, black.key16);
  EXPECT_EQ(book_target(white, 0) & 0x8000, 0x8000);
  EXPECT_EQ(book_target(black, 1) & 0x8000, 0);

  // A white knight on b1 contributes entry 128 + 1 to white's key16 only.
  uint8_t moved[64];
  std::memcpy(moved, sq, 64);
  moved[1] = 0;
  EXPECT_EQ(book_key_of(moved, 0, 64).key16 ^ white.key16, book_key_table[129]);
  EXPECT_EQ(book_key_of(moved, 1, 64).key16, black.key16);
  uint32_t knight32 = uint32_t(book_key_table[130]) * 65536u + book_key_table[131];
  EXPECT_EQ((book_key_of(moved, 0, 64).key32 - 64) ^ (white.key32 - 64), knight32);

  // The en-passant square is added, not XORed: e3 (20) gives key32 - 44.
  BookKey ep = book_key_of(sq, 1, 20);
  EXPECT_EQ(ep.key32, black.key32 - 44);
  EXPECT_EQ(ep.key16, black.key16);
}

TEST(BookRecord, LayoutIsLittleEndianFourteenBytes) {
  BookRecord r{0x8123, 0xA1B2C3D4, 0x0102, 0x0304, 0x0506, 0};
  uint8_t bytes[BOOK_RECORD_SIZE];
  record_encode(r, bytes);
  const uint8_t expected[BOOK_RECORD_SIZE] = {0x23, 0x81, 0xD4, 0xC3, 0xB2, 0xA1, 0x02,
                                              0x01, 0x04, 0x03, 0x06, 0x05, 0x00, 0x00};
  EXPECT_EQ(0, std::memcmp(bytes, expected, BOOK_RECORD_SIZE));
  BookRecord back = record_decode(bytes);
  EXPECT_EQ(back.key16, r.key16);
  EXPECT_EQ(back.key32, r.key32);
  EXPECT_EQ(back.losses, 0x0102);
  EXPECT_EQ(back.wins, 0x0304);
  EXPECT_EQ(back.draws, 0x0506);
}

TEST(BookRecord, OrderIsDescendingUnsigned) {
  BookRecord white{0x8000, 1, 0, 0, 0, 0}, black{0x7FFF, 0xFFFFFFFF, 0, 0, 0, 0};
  EXPECT_LT(record_order(white, black), 0);  // white-to-move keys come first
  BookRecord high{0x1234, 0x80000000, 0, 0, 0, 0}, low{0x1234, 0x7FFFFFFF, 0, 0, 0, 0};
  EXPECT_LT(record_order(high, low), 0);
  EXPECT_GT(record_order(low, high), 0);
  EXPECT_EQ(record_order(low, low), 0);
  EXPECT_EQ(capped_sum(59999, 5), 60000);
  EXPECT_EQ(capped_sum(100, 5), 105);
}
