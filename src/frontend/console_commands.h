#pragma once
// The console command language is shared out: the front end interprets the
// board and game commands itself, and the commands that search, show the
// evaluation, use the book or tune live beside the code they drive. The
// table in console.cpp maps every command word to its handler.

constexpr int CONSOLE_WORDS = 10;      // the command word and up to nine arguments
constexpr int CONSOLE_WORD_MAX = 127;

struct ConsoleCommand {
  char word[CONSOLE_WORDS][CONSOLE_WORD_MAX + 1];  // missing words are empty
  const char* rest;                                // the text after the command word
};

using ConsoleHandler = void (*)(const ConsoleCommand& command);

// console_search.cpp
void console_think(const ConsoleCommand& command);           // "mv"
void console_analyse(const ConsoleCommand& command);         // "go", "an"
void console_stop(const ConsoleCommand& command);            // "."
void console_self_play(const ConsoleCommand& command);       // "self"
void console_get_position(const ConsoleCommand& command);    // "get"
void console_eval(const ConsoleCommand& command);            // "ev"
void console_table_line(const ConsoleCommand& command);      // "pv"
void console_lmr_tables(const ConsoleCommand& command);      // "lmr"
void console_set_parameter(const ConsoleCommand& command);   // "set"
// console_eval.cpp
void console_show_params(const ConsoleCommand& command);     // "sp"
// console_book.cpp
void console_book_moves(const ConsoleCommand& command);      // "book"
void console_make_book(const ConsoleCommand& command);       // "mkbook"
// console_tools.cpp
void console_tune(const ConsoleCommand& command);            // "tune"

// Prints the evaluation breakdown of the game position, shown instead of the
// board while the debug display is on. Returns 0 when it is not available.
int console_show_evaluation();
