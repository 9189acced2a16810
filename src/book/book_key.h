#pragma once
// The opening book's own position key. It is independent of the hash keys of
// the search so that a book file stays valid whatever those tables hold.
#include <cstdint>

struct Board;

constexpr int BOOK_KEY_COUNT = 772;

extern uint16_t book_key_table[BOOK_KEY_COUNT];

// Fills the key table once; later calls do nothing.
void init_book_keys();

// key16 covers only the pieces of the side to move (its bit 15 is left for
// the side itself); key32 covers every piece plus the en-passant square.
struct BookKey {
  uint16_t key16;
  uint32_t key32;
};

// Key of a placement given as piece codes per square, the side to move
// (0 white, 1 black) and the en-passant square (64 for none).
BookKey book_key_of(const uint8_t squares[64], int side, int ep);

// Key of a board position.
BookKey book_key(const Board* board);

// key16 as stored in the file: bit 15 set when white is to move.
inline uint16_t book_target(BookKey key, int side) {
  return side == 0 ? uint16_t(key.key16 | 0x8000) : uint16_t(key.key16 & 0x7FFF);
}
