#include "book/book_key.h"

#include "board/board.h"

uint16_t book_key_table[BOOK_KEY_COUNT];

void init_book_keys() {
  static bool done = false;
  if (done) return;
  uint32_t x = 77;
  for (int i = 0; i < BOOK_KEY_COUNT; i++) {
    x = 33 * x + 12345;
    book_key_table[i] = uint16_t(x & 0xFFFF);
  }
  done = true;
}

BookKey book_key_of(const uint8_t squares[64], int side, int ep) {
  BookKey key{0, 0};
  for (int s = 0; s < 64; s++) {
    int code = squares[s];
    int type = code & 7;
    if (type == 0 || type > 6) continue;
    int colour = code >> 3;
    int i = (type - 1) * 128 + s + (colour ? 64 : 0);
    if (colour == side) key.key16 ^= book_key_table[i];
    key.key32 ^= uint32_t(book_key_table[i + 1]) * 65536u + book_key_table[i + 2];
  }
  key.key32 += uint32_t(ep);
  return key;
}

BookKey book_key(const Board* board) { return book_key_of(board->squares, board->side, board->ep); }
