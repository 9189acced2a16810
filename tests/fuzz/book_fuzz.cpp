// Tarn's own book format, asked for the moves along a few openings.
#include <cstring>

#include "book/book_file.h"
#include "core/engine_state.h"
#include "fuzz/fuzz_support.h"

TARN_FUZZ_TARGET(book) {
  fuzz_write_file("fuzz.opn", data, size);
  std::strcpy(settings.book_file, "fuzz.opn");
  book_load();
  fuzz_ask_book();
  return 0;
}

