#pragma once
// Helpers of the Polyglot book tests: books written entry by entry, an
// independent reading of a .bin file, and the polyglot program (Debian's
// "polyglot" package) as the reference that builds and dumps books.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "book_test_support.h"
#include "support/shared_data.h"

namespace book_test {

using Bytes = std::vector<uint8_t>;

struct RawEntry {
  uint64_t key;
  uint16_t move, weight;
  uint32_t learn;
};

// The entries as the file stores them: big-endian, 16 bytes each.
inline Bytes book_bytes(const std::vector<RawEntry>& entries) {
  Bytes out;
  for (const RawEntry& e : entries) {
    for (int shift = 56; shift >= 0; shift -= 8) out.push_back(uint8_t(e.key >> shift));
    for (int shift : {8, 0}) out.push_back(uint8_t(e.move >> shift));
    for (int shift : {8, 0}) out.push_back(uint8_t(e.weight >> shift));
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(e.learn >> shift));
  }
  return out;
}

inline void write_bytes(const std::string& name, const Bytes& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes read_bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Stored move word from coordinates ("e1h1", "e7e8" with promotion code).
inline uint16_t stored_move(const char* text, int promotion = 0) {
  int from = (text[0] - 'a') + 8 * (text[1] - '1');
  int to = (text[2] - 'a') + 8 * (text[3] - '1');
  return uint16_t(promotion << 12 | from << 6 | to);
}

// The entries of `key` as the format document describes them, read straight
// from the file without the engine's reader: (coordinate text, weight).
inline std::vector<std::pair<std::string, int>> direct_read(const std::string& name, uint64_t key) {
  Bytes bytes = read_bytes(name);
  std::vector<std::pair<std::string, int>> found;
  for (size_t at = 0; at + 16 <= bytes.size(); at += 16) {
    uint64_t k = 0;
    for (int i = 0; i < 8; i++) k = k << 8 | bytes[at + i];
    if (k != key) continue;
    int move = bytes[at + 8] << 8 | bytes[at + 9];
    std::string text = {char('a' + (move >> 6 & 7)), char('1' + (move >> 9 & 7)), char('a' + (move & 7)),
                        char('1' + (move >> 3 & 7))};
    found.push_back({text, bytes[at + 10] << 8 | bytes[at + 11]});
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

// Builds `name` in the working directory from the shared games.
inline bool make_reference_book(const std::string& name) {
  return run_polyglot("make-book -pgn " + tarn_test::shared_path("pgn/games.pgn") + " -bin " + name);
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
