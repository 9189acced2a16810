// The book's console commands: "book" lists the book moves of the game
// position, "mkbook" builds "book.opn" from "book.pgn".
#include "book/book_build.h"
#include "book/book_choice.h"
#include "book/book_file.h"
#include "book/book_merge.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "frontend/console_commands.h"
#include "search/game_position.h"

// The listing leaves the search results alone: it may run while a search
// thread owns them.
void console_book_moves(const ConsoleCommand&) {
  book_find_move(game_board(), true);
  print_line("");
}

// The build's counts would otherwise be mistaken for a book window, so the
// book is off for the rest of the run.
void console_make_book(const ConsoleCommand&) {
  settings.book_file[0] = 0;
  if (!book_resize_window(BOOK_BATCH)) {
    print_line("Not enough memory!");
    return;
  }
  book_build(game_board());
}
