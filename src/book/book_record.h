#pragma once
// One book position as stored on disk: 14 little-endian bytes. The in-memory
// form is a plain record; the file form is written and read byte by byte so
// the layout does not depend on the compiler's padding.
#include <cstdint>
#include <cstdio>

constexpr int BOOK_RECORD_SIZE = 14;
constexpr uint16_t BOOK_COUNT_CAP = 60000;

struct BookRecord {
  uint16_t key16;     // bit 15 set when white is to move
  uint32_t key32;
  uint16_t losses;    // games won by the side to move here
  uint16_t wins;      // games won by the side that moved into this position
  uint16_t draws;
  uint16_t reserved;  // always 0
};

void record_encode(const BookRecord& record, uint8_t out[BOOK_RECORD_SIZE]);
BookRecord record_decode(const uint8_t in[BOOK_RECORD_SIZE]);

// Book order: descending key16, then descending key32. Returns a negative
// number when a comes first, positive when b does, 0 for the same key.
int record_order(const BookRecord& a, const BookRecord& b);

// Reads the next whole record; false at the end of the file or on a short read.
bool read_record(FILE* file, BookRecord* record);
bool write_record(FILE* file, const BookRecord& record);

// a + b, but never above the counter cap.
inline uint16_t capped_sum(unsigned a, unsigned b) {
  unsigned sum = a + b;
  return uint16_t(sum > BOOK_COUNT_CAP ? BOOK_COUNT_CAP : sum);
}
