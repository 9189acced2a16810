#include "book/polyglot_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

PolyglotSource polyglot_book;

namespace {

uint64_t big_endian(const uint8_t* in, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; i++) value = (value << 8) | in[i];
  return value;
}

// Reads up to `max` (at most POLYGLOT_MAX_ENTRIES) entries from entry
// `first` on; returns how many were read.
int read_entries(const PolyglotSource& source, FILE* file, int64_t first, PolyglotEntry* out, int max) {
  if (first < 0 || first >= source.count) return 0;
  if (max > POLYGLOT_MAX_ENTRIES) max = POLYGLOT_MAX_ENTRIES;
  if (max > source.count - first) max = int(source.count - first);
  if (source.bytes) {
    for (int i = 0; i < max; i++) out[i] = polyglot_decode(source.bytes + (first + i) * POLYGLOT_ENTRY_SIZE);
    return max;
  }
  if (!file || std::fseek(file, long(first * POLYGLOT_ENTRY_SIZE), SEEK_SET) != 0) return 0;
  uint8_t buffer[POLYGLOT_MAX_ENTRIES * POLYGLOT_ENTRY_SIZE];
  int got = int(std::fread(buffer, POLYGLOT_ENTRY_SIZE, size_t(max), file));
  for (int i = 0; i < got; i++) out[i] = polyglot_decode(buffer + i * POLYGLOT_ENTRY_SIZE);
  return got;
}

FILE* open_source(const PolyglotSource& source) {
  return source.bytes ? nullptr : std::fopen(source.path, "rb");
}

void close_source(FILE* file) {
  if (file) std::fclose(file);
}

// A lookup binary-searches the keys, so the whole book is checked once
// before it is used. Entries that cannot be read end the book there.
PolyglotStatus check_order(PolyglotSource& source) {
  FILE* file = open_source(source);
  if (!source.bytes && !file) return POLYGLOT_UNREADABLE;
  PolyglotEntry block[POLYGLOT_MAX_ENTRIES];
  uint64_t previous = 0;
  bool sorted = true;
  int64_t n = 0;
  while (sorted && n < source.count) {
    int got = read_entries(source, file, n, block, POLYGLOT_MAX_ENTRIES);
    if (got == 0) source.count = n;
    for (int i = 0; i < got && sorted; i++) {
      sorted = block[i].key >= previous;
      previous = block[i].key;
    }
    n += got;
  }
  close_source(file);
  return sorted ? POLYGLOT_OK : POLYGLOT_UNSORTED;
}

PolyglotStatus take_source(const PolyglotSource& source) {
  polyglot_book = source;
  PolyglotStatus status = check_order(polyglot_book);
  if (status != POLYGLOT_OK) polyglot_close();
  return status;
}

}  // namespace

PolyglotEntry polyglot_decode(const uint8_t in[POLYGLOT_ENTRY_SIZE]) {
  return PolyglotEntry{big_endian(in, 8), uint16_t(big_endian(in + 8, 2)), uint16_t(big_endian(in + 10, 2)),
                       uint32_t(big_endian(in + 12, 4))};
}

bool polyglot_named(const char* name) {
  size_t n = std::strlen(name);
  return n >= 4 && std::strcmp(name + n - 4, ".bin") == 0;
}

PolyglotStatus polyglot_open_file(const char* path) {
  polyglot_close();
  PolyglotSource source{};
  if (std::strlen(path) >= sizeof source.path) return POLYGLOT_UNREADABLE;
  std::strcpy(source.path, path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return POLYGLOT_UNREADABLE;
  uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return POLYGLOT_UNREADABLE;
  if (size % POLYGLOT_ENTRY_SIZE != 0) return POLYGLOT_BAD_SIZE;
  source.size = size_t(size);
  source.count = int64_t(size / POLYGLOT_ENTRY_SIZE);
  return take_source(source);
}

PolyglotStatus polyglot_open_bytes(const uint8_t* bytes, size_t size) {
  polyglot_close();
  PolyglotSource source{};
  source.bytes = bytes;
  source.size = size;
  source.count = bytes ? int64_t(size / POLYGLOT_ENTRY_SIZE) : 0;
  if (!bytes) return POLYGLOT_UNREADABLE;
  return take_source(source);
}

void polyglot_close() { polyglot_book = PolyglotSource{}; }

int polyglot_entries(const PolyglotSource& source, uint64_t key, PolyglotEntry* out) {
  if (source.count == 0) return 0;
  FILE* file = open_source(source);
  if (!source.bytes && !file) return 0;
  // First entry whose key is not below `key`.
  int64_t lo = 0, hi = source.count;
  PolyglotEntry probe;
  while (lo < hi) {
    int64_t mid = lo + (hi - lo) / 2;
    if (read_entries(source, file, mid, &probe, 1) == 0) break;
    if (probe.key < key) lo = mid + 1;
    else hi = mid;
  }
  int got = lo < hi ? 0 : read_entries(source, file, lo, out, POLYGLOT_MAX_ENTRIES);
  close_source(file);
  int n = 0;
  while (n < got && out[n].key == key) n++;
  return n;
}
