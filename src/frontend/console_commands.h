#pragma once
// The console command language is shared out: the front end interprets the
// board commands itself and offers every other command to the subsystem
// that owns it, through the functions below.

constexpr int CONSOLE_WORDS = 10;      // the command word and up to nine arguments
constexpr int CONSOLE_WORD_MAX = 127;

struct ConsoleCommand {
  char word[CONSOLE_WORDS][CONSOLE_WORD_MAX + 1];  // missing words are empty
  const char* rest;                                // the text after the command word
};

// Each returns 1 when it handled the command, 0 when the word is not its own.
int console_search_command(const ConsoleCommand& command);  // "mv", "go", "an", ".", "self", "get", "ev", "pv", "lmr", "set"
int console_eval_command(const ConsoleCommand& command);    // "sp"
int console_book_command(const ConsoleCommand& command);    // "book", "mkbook"
int console_tools_command(const ConsoleCommand& command);   // "tune"

// Prints the evaluation breakdown of the game position, shown instead of the
// board while the debug display is on. Returns 0 when it is not available.
int console_show_evaluation();
