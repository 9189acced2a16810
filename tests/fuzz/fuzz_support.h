#pragma once
// The engine started inside the fuzz process, and what the targets share.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Starts the engine once per process as the binary does (no log, a 1 MB
// table, one search thread) in a private working directory, so that the
// files the targets write stay there. Later calls do nothing.
void fuzz_start_engine();

// Back to the start-up state between inputs, so that each input behaves
// the same whatever ran before it: settings and parameters, one thread, an
// empty 1 MB table, no tablebases, no book, the start position.
void fuzz_reset_engine();

// The input split into commands the way standard input is (a line feed or
// NUL ends a line, '@' separates commands, long lines are cut), at most
// `max_lines` of them.
std::vector<std::string> fuzz_lines(const uint8_t* data, size_t size, size_t max_lines);

// Writes the bytes to a file in the working directory.
void fuzz_write_file(const std::string& name, const uint8_t* data, size_t size);

// Searches the game position to `depth` on the calling thread, the way the
// batch tools run their shallow searches.
void fuzz_search(int depth);

// Aborts unless every view of the game position agrees with the others.
void fuzz_check_game_board();

// Asks the book for a move in every position along a few openings; a book
// move must be legal in its position.
void fuzz_ask_book();
