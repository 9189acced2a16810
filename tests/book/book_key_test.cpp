#include <gtest/gtest.h>

#include <cstring>

#include "book_test_support.h"

using namespace book_test;

TEST(BookKey, TableStartsFromTheGenerator) {
  init_book_keys();
  uint64_t x = 77;  // the 32-bit state wraps; each entry is its low half
  for (int i = 0; i < BOOK_KEY_COUNT; i++) {
    x = (33 * x + 12345) % 4294967296ull;
    ASSERT_EQ(book_key_table[i], x & 0xFFFF) << i;
  }
}

TEST(BookKey, SideToMoveAndEnPassant) {
  Board start = game_thread()->board;
  BookKey white = book_key(&start);
  start.side = BLACK;
  BookKey black = book_key(&start);
  // key32 covers every piece whoever moves; key16 only the mover's pieces.
  EXPECT_EQ(white.key32, black.key32);
  EXPECT_NE(white.key16, black.key16);
  EXPECT_EQ(book_target(white, WHITE), white.key16 | 0x8000);
  EXPECT_EQ(book_target(black, BLACK), black.key16 & 0x7FFF);
  // Without the knight on b1 (index 128 + 1): white's key16 changes by entry
  // 129, black's not at all; key32 by entries 130 and 131.
  start.squares[1] = 0;
  EXPECT_EQ(book_key(&start).key16, black.key16);
  start.side = WHITE;
  EXPECT_EQ(book_key(&start).key16 ^ white.key16, book_key_table[129]);
  EXPECT_EQ((book_key(&start).key32 - 64) ^ (white.key32 - 64),
            uint32_t(book_key_table[130]) * 65536u + book_key_table[131]);
  // 1.e4: the en-passant square e3 (20) is added, not XORed.
  Board* board = &game_thread()->board;
  record_after({"e4"});
  BookKey with_ep = book_key(board);
  board->ep = NO_SQUARE;
  EXPECT_EQ(book_key(board).key32 - with_ep.key32, 44u);
}

TEST(BookRecord, LayoutAndOrder) {
  BookRecord r{0x8123, 0xA1B2C3D4, 0x0102, 0x0304, 0x0506, 0};
  uint8_t bytes[BOOK_RECORD_SIZE];
  record_encode(r, bytes);
  const uint8_t expected[BOOK_RECORD_SIZE] = {0x23, 0x81, 0xD4, 0xC3, 0xB2, 0xA1, 0x02,
                                              0x01, 0x04, 0x03, 0x06, 0x05, 0x00, 0x00};
  EXPECT_EQ(0, std::memcmp(bytes, expected, BOOK_RECORD_SIZE));
  BookRecord back = record_decode(bytes);
  EXPECT_EQ(back.key32, r.key32);
  EXPECT_EQ(back.losses + back.wins * 2 + back.draws * 3, 0x0102 + 0x0304 * 2 + 0x0506 * 3);
  // Descending and unsigned: white-to-move keys come first.
  EXPECT_LT(record_order({0x8000, 1, 0, 0, 0, 0}, {0x7FFF, 0xFFFFFFFF, 0, 0, 0, 0}), 0);
  EXPECT_LT(record_order({0x1234, 0x80000000, 0, 0, 0, 0}, {0x1234, 0x7FFFFFFF, 0, 0, 0, 0}), 0);
  EXPECT_EQ(record_order(r, back), 0);
}
