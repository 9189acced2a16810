#pragma once
// Helpers of the book tests: book files of both formats, positions reached
// by moves, an independent reading of a Polyglot .bin file, and the polyglot
// program (Debian's "polyglot" package) as the reference that builds and
// dumps books.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "book/book_file.h"
#include "core/engine_state.h"
#include "support/board_block.h"
#include "support/scratch_dir.h"
#include "support/shared_data.h"

namespace book_test {

using tarn_test::ScratchDir;
using Bytes = std::vector<uint8_t>;

// Files written (text or bytes) and read as they are.
template <class Data>
void write_file(const std::string& name, const Data& data) {
  std::ofstream(name, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

inline std::string read_text(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void write_book(const char* name, const std::vector<BookRecord>& records) {
  FILE* f = std::fopen(name, "wb");
  for (const BookRecord& r : records) write_record(f, r);
  std::fclose(f);
}

inline void load_book(const char* name) {
  std::snprintf(settings.book_file, sizeof settings.book_file, "%s", name);
  book_open_buffers();
  book_load();
}

// The move in coordinates ("e2e4", "e7e8q" in UCI mode).
inline std::string text_of(Move move) {
  char text[MOVE_TEXT_SIZE];
  move_text(move, text);
  return text;
}

// The test program's thread block, its board reset to the start position.
inline BoardThread* game_thread() {
  init_book_keys();
  BoardThread* thread = tarn_test::board_block();
  parse_fen(&thread->board, START_FEN);
  return thread;
}

// Plays `moves` from the start position (the board stays there) and returns
// a record of the position reached with the given counts.
inline BookRecord record_after(std::vector<const char*> moves, int wins = 0, int losses = 0, int draws = 0) {
  Board* board = &game_thread()->board;
  for (const char* text : moves) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    Move move = 0;
    parse_move_on(board, buffer, &move);
    make_move(board, move);
  }
  BookKey key = book_key(board);
  return BookRecord{book_target(key, board->side), key.key32, uint16_t(losses), uint16_t(wins),
                    uint16_t(draws), 0};
}

struct RawEntry {
  uint64_t key;
  uint16_t move, weight;
  uint32_t learn;
};

// Entries in key order, those of one key in the order given, as a book file
// lists them. (libstdc++ 12's std::stable_sort draws a deprecation warning
// from clang 19, hence the sort on (key, place).)
inline void sort_by_key(std::vector<RawEntry>& entries) {
  std::vector<std::pair<uint64_t, size_t>> order;
  for (size_t i = 0; i < entries.size(); i++) order.push_back({entries[i].key, i});
  std::sort(order.begin(), order.end());
  std::vector<RawEntry> sorted;
  for (auto [key, i] : order) sorted.push_back(entries[i]);
  entries = sorted;
}

// Polyglot entries as the file stores them: big-endian, 16 bytes each.
inline Bytes book_bytes(const std::vector<RawEntry>& entries) {
  Bytes out;
  for (const RawEntry& e : entries)  // each field as (value, width in bytes)
    for (auto [value, width] : {std::pair<uint64_t, int>{e.key, 8}, {e.move, 2}, {e.weight, 2}, {e.learn, 4}})
      for (int i = width - 1; i >= 0; i--) out.push_back(uint8_t(value >> 8 * i));
  return out;
}

// Stored move word from coordinates ("e1h1", "e7e8" with promotion code).
inline uint16_t stored_move(const char* text, int promotion = 0) {
  int from = (text[0] - 'a') + 8 * (text[1] - '1');
  int to = (text[2] - 'a') + 8 * (text[3] - '1');
  return uint16_t(promotion << 12 | from << 6 | to);
}

// The entries of `key` as the format document describes them, read straight
// from the file without the engine's reader: (stored move, weight).
inline std::vector<std::pair<uint16_t, int>> direct_read(const std::string& name, uint64_t key) {
  const std::string text = read_text(name);
  const Bytes bytes(text.begin(), text.end());
  std::vector<std::pair<uint16_t, int>> found;
  for (size_t at = 0; at + 16 <= bytes.size(); at += 16) {
    uint64_t k = 0;
    for (int i = 0; i < 8; i++) k = k << 8 | bytes[at + i];
    if (k == key) found.push_back({uint16_t(bytes[at + 8] << 8 | bytes[at + 9]), bytes[at + 10] << 8 | bytes[at + 11]});
  }
  return found;
}

// The polyglot program, or empty when it is not installed (Debian puts it
// in /usr/games, which is not always on the path).
inline std::string polyglot_program() {
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  std::stringstream dirs(path + ":/usr/games");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && access((dir + "/polyglot").c_str(), X_OK) == 0) return dir + "/polyglot";
  return "";
}

inline bool run_polyglot(const std::string& arguments) {
  std::string command = polyglot_program() + " " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace book_test

// Skips the current test when the reference program or the games are absent.
#define TARN_REQUIRE_POLYGLOT()                                                                  \
  do {                                                                                          \
    TARN_REQUIRE_SHARED("pgn/games.pgn");                                                       \
    if (book_test::polyglot_program().empty())                                                  \
      GTEST_SKIP() << "the polyglot program is not installed (apt-get install polyglot); "      \
                   << "the Polyglot reference tests need it";                                   \
  } while (0)
