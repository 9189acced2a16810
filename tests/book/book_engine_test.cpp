#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/engine_process.h"
#include "support/shared_data.h"

using tarn_test::EngineProcess;

namespace {

bool has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> search(EngineProcess& uci, const std::string& position) {
  uci.send(position);
  uci.send("go movetime 100");
  return uci.read_until("bestmove", 10.0);
}

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
  std::vector<std::string> reply = search(uci, "position startpos");
  ASSERT_GE(reply.size(), 2u);
  EXPECT_EQ(reply[reply.size() - 2], "info string book move");
  EXPECT_EQ(reply.back().size(), std::string("bestmove e2e4").size()) << reply.back();  // no ponder move
  EXPECT_TRUE(has(search(uci, "position startpos moves e2e4 e7e5"), "info string book move"));
  // Past BookDepth plies, or out of the book, the engine searches.
  reply = search(uci, "position startpos moves e2e4 e7e5 g1f3");
  EXPECT_FALSE(has(reply, "info string book move"));
  EXPECT_TRUE(reply.back().rfind("bestmove ", 0) == 0);
  EXPECT_FALSE(has(search(uci, "position startpos moves a2a3"), "info string book move"));
  uci.send("quit");
}
