#include <gtest/gtest.h>

#include <algorithm>

#include "book_test_support.h"
#include "support/engine_process.h"
#include "support/uci_session.h"

using namespace book_test;
using tarn_test::EngineProcess;

namespace {

bool has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> ask(EngineProcess& uci, const std::string& position,
                             const std::string& go = "go movetime 100") {
  return tarn_test::search(uci, position, go, 10.0);
}

// The engine in UCI mode with OwnBook on and these entries as the Polyglot
// book its configuration names ("TarnBook book.bin").
void start_with_bin_book(EngineProcess& uci, const std::vector<RawEntry>& entries) {
  Bytes bytes = book_bytes(entries);
  uci.write_file("book.bin", std::string(bytes.begin(), bytes.end()));
  uci.write_file("tarn.rc", "TarnBook book.bin\n");
  tarn_test::open_uci(uci, {"OwnBook value true"});
}

const uint64_t START_KEY = 0x463b96181691fc9cull;

}  // namespace

// "mkbook" in the console builds the book the UCI engine then plays from,
// for BookDepth plies.
TEST(BookEngine, BuildThenPlayFromTheBook) {
  EngineProcess console;
  std::string games;
  for (int i = 0; i < 9; i++) games += "[Event \"t\"]\n[Result \"1/2-1/2\"]\n\n1. e4 e5 2. Nf3 Nc6 1/2-1/2\n\n";
  ASSERT_TRUE(tarn_test::build_book_in_console(console, games));
  console.write_file("tarn.rc", "BookDepth 2\n");
  EngineProcess uci(console.directory());
  tarn_test::open_uci(uci, {"OwnBook value true"});
  for (auto [moves, book_move] : {std::pair{"", "e2e4"}, {" moves e2e4", "e7e5"}, {" moves e2e4 e7e5", "g1f3"}}) {
    std::vector<std::string> reply = ask(uci, std::string("position startpos") + moves);
    ASSERT_GE(reply.size(), 2u);
    EXPECT_EQ(reply[reply.size() - 2], "info string book move") << moves;
    EXPECT_EQ(reply.back(), std::string("bestmove ") + book_move);  // no ponder move
  }
  // Past BookDepth plies, or out of the book, the engine searches.
  for (const char* moves : {" moves e2e4 e7e5 g1f3", " moves a2a3"}) {
    std::vector<std::string> reply = ask(uci, std::string("position startpos") + moves);
    EXPECT_FALSE(has(reply, "info string book move")) << moves;
    EXPECT_EQ(reply.back().rfind("bestmove ", 0), 0u);
  }
  uci.send("quit");
}

// A Polyglot book answers "go", and "go searchmoves" only with a listed book
// move; with none listed, or out of the book, the engine searches. The
// console lists the candidates with weight and share.
TEST(BookEngine, PlaysFromAPolyglotBook) {
  EngineProcess uci;
  start_with_bin_book(uci, {{START_KEY, stored_move("d2d4"), 1, 0}, {START_KEY, stored_move("e2e4"), 3, 0}});
  std::vector<std::string> reply = ask(uci, "position startpos");
  ASSERT_GE(reply.size(), 2u);
  EXPECT_EQ(reply[reply.size() - 2], "info string book move");
  EXPECT_TRUE(reply.back() == "bestmove e2e4" || reply.back() == "bestmove d2d4") << reply.back();
  for (int i = 0; i < 5; i++) {
    reply = ask(uci, "position startpos", "go searchmoves d2d4 g1f3 movetime 100");
    EXPECT_TRUE(has(reply, "info string book move"));
    EXPECT_EQ(reply.back(), "bestmove d2d4");
  }
  reply = ask(uci, "position startpos", "go searchmoves g1f3 depth 3");
  EXPECT_FALSE(has(reply, "info string book move"));
  EXPECT_EQ(reply.back().rfind("bestmove g1f3", 0), 0u) << reply.back();
  EXPECT_FALSE(has(ask(uci, "position startpos moves e2e4", "go depth 3"), "info string book move"));
  uci.send("quit");

  EngineProcess console(uci.directory());
  ASSERT_TRUE(console.start({"-c"}));
  console.send("book");
  std::vector<std::string> listing = console.read_until("book move is ", 10.0);
  EXPECT_TRUE(has(listing, "d2d4       1    25.0%") && has(listing, "e2e4       3    75.0%"));
  console.send("quit");
}
