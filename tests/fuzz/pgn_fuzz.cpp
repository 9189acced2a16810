// PGN text: the scanner in its four modes, and the book builder, whose
// book is then read back and asked for moves.
#include <cstring>

#include "book/book_build.h"
#include "book/book_choice.h"
#include "book/book_file.h"
#include "core/engine_state.h"
#include "fuzz/fuzz_support.h"
#include "search/game_position.h"
#include "tools/pgn_scan.h"

TARN_FUZZ_TARGET(pgn) {
  fuzz_write_file("games.pgn", data, size);
  for (int mode = 1; mode <= 4; mode++) {
    scan_pgn("games.pgn", mode);
    fuzz_check_game_board();
  }
  fuzz_write_file("book.pgn", data, size);
  book_build(game_board());
  fuzz_check_game_board();
  std::strcpy(settings.book_file, "book.opn");
  book_load();
  book_find_move(game_board(), true);
  return 0;
}
