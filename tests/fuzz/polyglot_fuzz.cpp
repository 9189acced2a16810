// Polyglot ".bin" books, read from a buffer and from a file (the two
// readers differ), asked for the moves along a few openings.
#include <cstring>

#include "book/book_file.h"
#include "book/polyglot_file.h"
#include "core/engine_state.h"
#include "fuzz/fuzz_support.h"

TARN_FUZZ_TARGET(polyglot) {
  if (polyglot_open_bytes(data, size) == POLYGLOT_OK) fuzz_ask_book();
  polyglot_close();
  fuzz_write_file("fuzz.bin", data, size);
  std::strcpy(settings.book_file, "fuzz.bin");
  book_load();
  fuzz_ask_book();
  polyglot_close();
  return 0;
}
