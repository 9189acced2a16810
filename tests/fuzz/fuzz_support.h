#pragma once
// One fuzz target per kind of input the engine reads, and what the targets
// share. A target file defines its entry with TARN_FUZZ_TARGET(name) { ... },
// which runs on an engine fresh from fuzz_fresh_engine. Built for libFuzzer
// (TARN_LIBFUZZER, make fuzz) the entry is the fuzzer's
// LLVMFuzzerTestOneInput; in the normal build it is registered under its
// name, and the replay test feeds it every saved input of that name.
// An entry aborts when a property it checks fails, so the fuzzer and the
// replay test both see more than crashes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

// The replay test's table of targets by name.
bool register_fuzz_target(const char* name, FuzzEntry entry);

#ifdef TARN_LIBFUZZER
#define TARN_FUZZ_ENTRY(name)                                               \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    return fuzz_##name(data, size);                                         \
  }
#else
#define TARN_FUZZ_ENTRY(name) \
  [[maybe_unused]] static const bool fuzz_registered_##name = register_fuzz_target(#name, fuzz_##name);
#endif
#define TARN_FUZZ_TARGET(name)                                      \
  static int fuzz_input_##name(const uint8_t* data, size_t size);  \
  static int fuzz_##name(const uint8_t* data, size_t size) {        \
    fuzz_fresh_engine();                                            \
    return fuzz_input_##name(data, size);                           \
  }                                                                 \
  TARN_FUZZ_ENTRY(name)                                             \
  static int fuzz_input_##name(const uint8_t* data, size_t size)

// A property the target checks; a failure aborts with the reason, which
// the fuzzer reports as a crash with the input that caused it.
#define FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : fuzz_failure(#condition, __FILE__, __LINE__))
[[noreturn]] void fuzz_failure(const char* condition, const char* file, int line);

// The engine as the binary starts it (no log, a 1 MB table, one search
// thread) in a private working directory, so that the files the targets
// write stay there; started once per process, then put back to the start-up
// state before every input, so that each input behaves the same whatever
// ran before it: settings and parameters, one thread, an empty 1 MB table,
// no tablebases, no book, the start position.
void fuzz_fresh_engine();

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
