#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/engine_process.h"
#include "support/shared_data.h"

using tarn_test::EngineProcess;

namespace {

// Builds "book.opn" from the shared games with the console command and
// renames it to the default book name. Returns the console transcript.
std::vector<std::string> build_default_book(EngineProcess& console) {
  std::filesystem::copy_file(tarn_test::shared_path("pgn/games.pgn"), console.directory() + "/book.pgn");
  EXPECT_TRUE(console.start({"-c"}));
  console.send("mkbook");
  EXPECT_TRUE(console.expect_line("done", 60.0));
  console.send("book");
  std::vector<std::string> lines = console.read_for(1.0);
  console.send("quit");
  int status = 0;
  EXPECT_TRUE(console.wait_exit(10.0, &status));
  std::filesystem::rename(console.directory() + "/book.opn", console.directory() + "/tarn.opn");
  return lines;
}

bool starts(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

}  // namespace

TEST(BookEngine, BuildThenPlayFromTheBook) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  EngineProcess console;
  // After mkbook the run has no book, so the listing is empty.
  std::vector<std::string> listing = build_default_book(console);
  for (const std::string& line : listing) EXPECT_FALSE(starts(line, "book move is")) << line;
  auto size = std::filesystem::file_size(console.directory() + "/tarn.opn");
  EXPECT_GT(size, 14u * 500);
  EXPECT_EQ(size % 14, 0u);

  // A fresh console run lists the book moves of the start position.
  EngineProcess lister(console.directory());
  ASSERT_TRUE(lister.start({"-c"}));
  lister.send("book");
  std::string chosen;
  EXPECT_TRUE(lister.expect_line("book move is ", 5.0, &chosen));
  lister.send("quit");

  EngineProcess uci(console.directory());
  ASSERT_TRUE(uci.start());
  uci.send("uci");
  ASSERT_TRUE(uci.expect_line("uciok"));
  uci.send("setoption name OwnBook value true");
  uci.send("position startpos");
  uci.send("go wtime 60000 btime 60000");
  std::vector<std::string> reply = uci.read_until("bestmove", 5.0);
  ASSERT_FALSE(reply.empty());
  EXPECT_EQ(reply[reply.size() - 2], "info string book move");
  EXPECT_EQ(reply.back().find(" ponder "), std::string::npos) << reply.back();
  EXPECT_EQ(reply.back().size(), std::string("bestmove e2e4").size()) << reply.back();

  // A position no game reached: the engine searches as usual.
  uci.send("position startpos moves a2a3 h7h6 h2h3 a7a6");
  uci.send("go movetime 200");
  reply = uci.read_until("bestmove", 10.0);
  ASSERT_FALSE(reply.empty());
  EXPECT_TRUE(starts(reply.back(), "bestmove "));
  for (const std::string& line : reply) EXPECT_NE(line, "info string book move");
  uci.send("quit");
}

TEST(BookEngine, BookDepthAndDamagedBook) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  EngineProcess console;
  build_default_book(console);

  // Book consulted only while the game is at most BookDepth plies long.
  console.write_file("tarn.rc", "BookDepth 0\n");
  EngineProcess shallow(console.directory());
  ASSERT_TRUE(shallow.start());
  shallow.send("uci");
  shallow.send("setoption name OwnBook value true");
  shallow.send("position startpos");
  shallow.send("go movetime 100");
  std::vector<std::string> reply = shallow.read_until("bestmove", 10.0);
  EXPECT_NE(std::find(reply.begin(), reply.end(), "info string book move"), reply.end());
  shallow.send("position startpos moves e2e4");
  shallow.send("go movetime 100");
  reply = shallow.read_until("bestmove", 10.0);
  ASSERT_FALSE(reply.empty());
  EXPECT_EQ(std::find(reply.begin(), reply.end(), "info string book move"), reply.end());
  shallow.send("quit");

  // The same book with its records out of order is no book at all.
  std::string bytes = console.read_file("tarn.opn");
  std::string swapped = bytes.substr(14, 14) + bytes.substr(0, 14) + bytes.substr(28);
  console.write_file("tarn.rc", "TarnBook \"swapped.opn\"\n");
  console.write_file("swapped.opn", swapped);
  EngineProcess damaged(console.directory());
  ASSERT_TRUE(damaged.start());
  damaged.send("uci");
  damaged.send("setoption name OwnBook value true");
  damaged.send("position startpos");
  damaged.send("go movetime 100");
  reply = damaged.read_until("bestmove", 10.0);
  ASSERT_FALSE(reply.empty());
  EXPECT_EQ(std::find(reply.begin(), reply.end(), "info string book move"), reply.end());
  damaged.send("quit");
}
