#include "book/book_record.h"

namespace {

void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

}  // namespace

void record_encode(const BookRecord& record, uint8_t out[BOOK_RECORD_SIZE]) {
  put16(out, record.key16);
  put16(out + 2, uint16_t(record.key32));
  put16(out + 4, uint16_t(record.key32 >> 16));
  put16(out + 6, record.losses);
  put16(out + 8, record.wins);
  put16(out + 10, record.draws);
  put16(out + 12, record.reserved);
}

BookRecord record_decode(const uint8_t in[BOOK_RECORD_SIZE]) {
  BookRecord r;
  r.key16 = get16(in);
  r.key32 = uint32_t(get16(in + 2)) | (uint32_t(get16(in + 4)) << 16);
  r.losses = get16(in + 6);
  r.wins = get16(in + 8);
  r.draws = get16(in + 10);
  r.reserved = get16(in + 12);
  return r;
}

int record_order(const BookRecord& a, const BookRecord& b) {
  if (a.key16 != b.key16) return a.key16 > b.key16 ? -1 : 1;
  if (a.key32 != b.key32) return a.key32 > b.key32 ? -1 : 1;
  return 0;
}

bool read_record(FILE* file, BookRecord* record) {
  uint8_t bytes[BOOK_RECORD_SIZE];
  if (std::fread(bytes, 1, BOOK_RECORD_SIZE, file) != BOOK_RECORD_SIZE) return false;
  *record = record_decode(bytes);
  return true;
}

bool write_record(FILE* file, const BookRecord& record) {
  uint8_t bytes[BOOK_RECORD_SIZE];
  record_encode(record, bytes);
  return std::fwrite(bytes, 1, BOOK_RECORD_SIZE, file) == BOOK_RECORD_SIZE;
}
