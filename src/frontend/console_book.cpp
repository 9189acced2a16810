// The book's console commands: "book" lists the book moves of the game
// position, "mkbook" builds "book.opn" from "book.pgn".
#include <cstring>

#include "book/book_build.h"
#include "book/book_choice.h"
#include "book/book_file.h"
#include "book/book_merge.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "frontend/console_commands.h"
#include "frontend/game_position.h"

namespace {

// The listing leaves the search results alone: it may run while a search
// thread owns them.
void list_book_moves() {
  book_find_move(game_board(), true);
  print_line("");
}

// The build's counts would otherwise be mistaken for a book window, so the
// book is off for the rest of the run.
void make_book() {
  settings.book_file[0] = 0;
  if (!book_resize_window(BOOK_BATCH)) {
    print_line("Not enough memory!");
    return;
  }
  book_build(game_board());
}

}  // namespace

int console_book_command(const ConsoleCommand& command) {
  if (std::strcmp(command.word[0], "book") == 0) {
    list_book_moves();
    return 1;
  }
  if (std::strcmp(command.word[0], "mkbook") == 0) {
    make_book();
    return 1;
  }
  return 0;
}
