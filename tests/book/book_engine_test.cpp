#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "polyglot_test_support.h"
#include "support/engine_process.h"
#include "support/shared_data.h"
#include "support/uci_session.h"

using tarn_test::EngineProcess;

namespace {

bool has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> ask(EngineProcess& uci, const std::string& position,
                             const std::string& go = "go movetime 100") {
  return tarn_test::search(uci, position, go, 10.0);
}

// The engine in UCI mode with OwnBook on and "TarnBook book.bin" in its
// configuration; `entries`, when given, are the book.
void start_with_bin_book(EngineProcess& uci, const std::vector<book_test::RawEntry>& entries = {}) {
  if (!entries.empty()) book_test::write_bytes(uci.directory() + "/book.bin", book_test::book_bytes(entries));
  uci.write_file("tarn.rc", "TarnBook book.bin\n");
  ASSERT_TRUE(uci.start());
  uci.send("uci");
  uci.send("setoption name OwnBook value true");
}

const uint64_t START_KEY = 0x463b96181691fc9cull;

}  // namespace

TEST(BookEngine, BuildThenPlayFromTheBook) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  EngineProcess console;
  std::filesystem::copy_file(tarn_test::shared_path("pgn/games.pgn"), console.directory() + "/book.pgn");
  ASSERT_TRUE(console.start({"-c"}));
  console.send("mkbook");
  EXPECT_TRUE(console.expect_line("done", 60.0));
  console.send("quit");
  std::filesystem::rename(console.directory() + "/book.opn", console.directory() + "/tarn.opn");
  console.write_file("tarn.rc", "BookDepth 2\n");
  EngineProcess uci(console.directory());
  ASSERT_TRUE(uci.start());
  uci.send("uci");
  uci.send("setoption name OwnBook value true");
  std::vector<std::string> reply = ask(uci, "position startpos");
  ASSERT_GE(reply.size(), 2u);
  EXPECT_EQ(reply[reply.size() - 2], "info string book move");
  EXPECT_EQ(reply.back().size(), std::string("bestmove e2e4").size()) << reply.back();  // no ponder move
  EXPECT_TRUE(has(ask(uci, "position startpos moves e2e4 e7e5"), "info string book move"));
  // Past BookDepth plies, or out of the book, the engine searches.
  reply = ask(uci, "position startpos moves e2e4 e7e5 g1f3");
  EXPECT_FALSE(has(reply, "info string book move"));
  EXPECT_TRUE(reply.back().rfind("bestmove ", 0) == 0);
  EXPECT_FALSE(has(ask(uci, "position startpos moves a2a3"), "info string book move"));
  uci.send("quit");
}

// With "TarnBook book.bin" (a book the polyglot program built from the
// shared games) and OwnBook on, the engine answers from the book; the keys
// are the format document's published ones, so the expected moves come from
// the file alone.
TEST(BookEngine, PlaysFromAPolyglotBook) {
  TARN_REQUIRE_POLYGLOT();
  EngineProcess uci;
  ASSERT_TRUE(book_test::make_reference_book(uci.directory() + "/book.bin"));
  start_with_bin_book(uci);
  const std::pair<const char*, uint64_t> positions[] = {{"position startpos", START_KEY},
                                                        {"position startpos moves e2e4", 0x823c9b50fd114196ull}};
  for (auto [position, key] : positions) {
    std::set<std::string> book_moves;
    for (auto [move, weight] : book_test::direct_read(uci.directory() + "/book.bin", key))
      if (weight > 0) book_moves.insert("bestmove " + move);
    ASSERT_FALSE(book_moves.empty()) << position;
    std::vector<std::string> reply = ask(uci, position);
    ASSERT_GE(reply.size(), 2u) << position;
    EXPECT_EQ(reply[reply.size() - 2], "info string book move") << position;
    EXPECT_TRUE(book_moves.count(reply.back())) << reply.back();
  }
  uci.send("quit");

  // The console lists the candidates with weight and share.
  EngineProcess console(uci.directory());
  ASSERT_TRUE(console.start({"-c"}));
  console.send("book");
  std::vector<std::string> listing = console.read_until("book move is ", 10.0);
  int candidates = 0;
  for (const std::string& line : listing) {
    char move[8];
    unsigned weight;
    double share;
    candidates += std::sscanf(line.c_str(), "%7s %u %lf%%", move, &weight, &share) == 3 && line.back() == '%';
  }
  EXPECT_EQ(candidates, int(book_test::direct_read(uci.directory() + "/book.bin", START_KEY).size()));
  console.send("quit");
}

// A damaged .bin book is reported and the engine searches instead.
TEST(BookEngine, UnsortedPolyglotBookIsRefused) {
  EngineProcess uci;
  start_with_bin_book(uci, {{START_KEY, 0x031C, 5, 0}, {1, 0x031C, 5, 0}});
  EXPECT_TRUE(uci.expect_line("info string book.bin: Polyglot book entries out of order, book not used"));
  std::vector<std::string> reply = ask(uci, "position startpos");
  EXPECT_FALSE(has(reply, "info string book move"));
  EXPECT_EQ(reply.back().rfind("bestmove ", 0), 0u);
  uci.send("quit");
}

// "go searchmoves": a book move outside the list is never played; with no
// listed book move the engine searches the listed moves.
TEST(BookEngine, BookMovesOutsideSearchmovesAreNotPlayed) {
  EngineProcess uci;
  start_with_bin_book(uci, {{START_KEY, book_test::stored_move("d2d4"), 5, 0},
                            {START_KEY, book_test::stored_move("e2e4"), 50, 0}});
  for (int i = 0; i < 5; i++) {
    std::vector<std::string> reply = ask(uci, "position startpos", "go searchmoves d2d4 g1f3 movetime 100");
    EXPECT_TRUE(has(reply, "info string book move"));
    EXPECT_EQ(reply.back(), "bestmove d2d4");
  }
  std::vector<std::string> reply = ask(uci, "position startpos", "go searchmoves g1f3 depth 3");
  EXPECT_FALSE(has(reply, "info string book move"));
  EXPECT_EQ(reply.back().rfind("bestmove g1f3", 0), 0u) << reply.back();
  uci.send("quit");
}
