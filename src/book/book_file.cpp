#include "book/book_file.h"

#include <cstdio>
#include <new>

#include "book/polyglot_file.h"
#include "core/engine_state.h"
#include "core/output.h"

BookState book;

namespace {

void clear_index() {
  book.record_count = 0;
  for (int i = 0; i < BOOK_PAGES; i++) book.page_index[i] = -1;
  book.window_length = 0;
  book.window_prefix = -1;
}

int prefix_of(uint16_t key16) { return key16 >> 6; }

// Reads the prefix group starting at `first` into the window. A group that
// does not start where the index says (the file changed since it was
// loaded) leaves the window empty.
void fill_window(FILE* file, int32_t first, int prefix) {
  book.window_length = 0;
  book.window_prefix = -1;
  if (std::fseek(file, long(first) * BOOK_RECORD_SIZE, SEEK_SET) != 0) return;
  BookRecord record;
  // A larger window left by a book build does not widen what a lookup reads.
  int32_t limit = book.window_capacity < BOOK_WINDOW ? book.window_capacity : BOOK_WINDOW;
  while (book.window_length < limit && read_record(file, &record)) {
    if (prefix_of(record.key16) != prefix) break;
    book.window[book.window_length++] = record;
  }
  if (book.window_length > 0) book.window_prefix = prefix;
}

const BookRecord* search_window(uint16_t target, uint32_t key32) {
  int lo = 0, hi = book.window_length - 1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    const BookRecord& r = book.window[mid];
    if (r.key16 > target || (r.key16 == target && r.key32 > key32)) {
      lo = mid + 1;
    } else if (r.key16 < target || r.key32 < key32) {
      hi = mid - 1;
    } else {
      book.result = r;
      return &book.result;
    }
  }
  return nullptr;
}

// A ".bin" file of whole 16-byte entries is a Polyglot book. The operator
// hears why one is not used; a missing file stays as quiet as for our own
// format. Returns false when the file should be tried as our own format.
bool load_polyglot() {
  const char* name = settings.book_file;
  const char* prefix = settings.protocol == 2 ? "info string " : "";
  switch (polyglot_open_file(name)) {
    case POLYGLOT_OK: return true;
    case POLYGLOT_UNREADABLE: return true;
    case POLYGLOT_UNSORTED:
      print_linef("%s%s: Polyglot book entries out of order, book not used", prefix, name);
      return true;
    case POLYGLOT_BAD_SIZE:
      print_linef("%s%s: size not a multiple of 16, not read as a Polyglot book", prefix, name);
      return false;
  }
  return true;
}

}  // namespace

bool book_open_buffers() {
  if (!book.window) {
    book.window = new (std::nothrow) BookRecord[BOOK_WINDOW];
    book.window_capacity = book.window ? BOOK_WINDOW : 0;
  }
  clear_index();
  return book.window != nullptr;
}

void book_release() {
  polyglot_close();
  delete[] book.window;
  book.window = nullptr;
  book.window_capacity = 0;
  clear_index();
}

bool book_resize_window(int32_t records) {
  book_release();
  book.window = new (std::nothrow) BookRecord[records];
  book.window_capacity = book.window ? records : 0;
  return book.window != nullptr;
}

void book_load() {
  clear_index();
  polyglot_close();
  if (!book.window || settings.book_file[0] == 0) return;
  if (polyglot_named(settings.book_file) && load_polyglot()) return;
  FILE* file = std::fopen(settings.book_file, "rb");
  if (!file) return;
  // The whole file is checked once here: a lookup trusts the order when it
  // binary-searches, so a damaged file is refused rather than half used.
  uint8_t bytes[BOOK_RECORD_SIZE];
  BookRecord previous{};
  int32_t count = 0;
  bool sound = true;
  size_t got;
  while ((got = std::fread(bytes, 1, BOOK_RECORD_SIZE, file)) == BOOK_RECORD_SIZE) {
    BookRecord record = record_decode(bytes);
    if (count > 0 && record_order(previous, record) >= 0) {
      sound = false;
      break;
    }
    int prefix = prefix_of(record.key16);
    if (book.page_index[prefix] < 0) book.page_index[prefix] = count;
    previous = record;
    count++;
  }
  if (got != 0 && got != BOOK_RECORD_SIZE) sound = false;
  std::fclose(file);
  if (!sound) {
    clear_index();
    return;
  }
  book.record_count = count;
}

const BookRecord* book_lookup(BookKey key, int side) {
  if (book.record_count == 0 || !book.window) return nullptr;
  uint16_t target = book_target(key, side);
  int prefix = prefix_of(target);
  if (prefix != book.window_prefix) {
    int32_t first = book.page_index[prefix];
    if (first < 0 || settings.book_file[0] == 0) return nullptr;
    FILE* file = std::fopen(settings.book_file, "rb");
    if (!file) return nullptr;
    fill_window(file, first, prefix);
    std::fclose(file);
  }
  return search_window(target, key.key32);
}
