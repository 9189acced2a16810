#pragma once
// Polyglot ".bin" books: 16-byte big-endian entries (key, move, weight,
// learn) in ascending key order, several consecutive entries per position.
// Entries are read on demand, from the file or from a byte buffer (tests and
// fuzzing use the buffer); only the entry count is kept in memory.
#include <cstddef>
#include <cstdint>

constexpr int POLYGLOT_ENTRY_SIZE = 16;
// Per position; more than any position has legal moves.
constexpr int POLYGLOT_MAX_ENTRIES = 256;
constexpr int POLYGLOT_PATH_SIZE = 160;

struct PolyglotEntry {
  uint64_t key;
  uint16_t move;    // to square bits 0-5, from square bits 6-11, promotion 12-14
  uint16_t weight;  // relative chance of being played; 0 = never
  uint32_t learn;
};

PolyglotEntry polyglot_decode(const uint8_t in[POLYGLOT_ENTRY_SIZE]);

// Where the entries are: the buffer when `bytes` is set, else the file
// `path`. `count` holds whole entries only, 0 when there is no book.
struct PolyglotSource {
  const uint8_t* bytes;
  size_t size;
  char path[POLYGLOT_PATH_SIZE];
  int64_t count;
};

enum PolyglotStatus {
  POLYGLOT_OK,
  POLYGLOT_UNREADABLE,  // missing or unopenable file
  POLYGLOT_BAD_SIZE,    // a file whose size is not a multiple of 16
  POLYGLOT_UNSORTED,    // keys out of order: a lookup could not trust them
};

// The book the engine plays from; count 0 while it has none.
extern PolyglotSource polyglot_book;

// True for a name ending in ".bin", the names that may hold a Polyglot book.
bool polyglot_named(const char* name);

// Makes the file the engine's book after checking its size and order.
// Anything but POLYGLOT_OK leaves the engine without a Polyglot book.
PolyglotStatus polyglot_open_file(const char* path);

// The same for a buffer, which must outlive its use as the book. A trailing
// partial entry is ignored.
PolyglotStatus polyglot_open_bytes(const uint8_t* bytes, size_t size);

void polyglot_close();

// The entries of `key` in file order, at most POLYGLOT_MAX_ENTRIES; entries
// that can no longer be read (a file shortened since it was opened) are
// simply not there.
int polyglot_entries(const PolyglotSource& source, uint64_t key, PolyglotEntry* out);
