// The batch tools as the operator meets them: the engine binary started with
// a tool switch, talking over its pipes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/engine_process.h"

using tarn_test::EngineProcess;

TEST(BatchTools, QuitDuringEpdAnalysisStillPrintsTheSummary) {
  EngineProcess engine;
  std::string records;
  for (int i = 0; i < 40; i++)
    records += "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - bm c5;\n";
  engine.write_file("slow.epd", records);
  ASSERT_TRUE(engine.start({"-anepd", "slow.epd", "-d", "9"}));
  ASSERT_TRUE(engine.expect_line("pos= 2", 30.0));
  engine.send("quit");
  ASSERT_TRUE(engine.expect_line("xcnt= ", 30.0));
  int status = 0;
  ASSERT_TRUE(engine.wait_exit(20.0, &status));
  int correct = 0, count = 0;
  for (const std::string& line : engine.transcript())
    std::sscanf(line.c_str(), "%d / %d correct best moves", &correct, &count);
  EXPECT_GE(count, 2);
  EXPECT_LE(count, 4);  // stopped after the record that was running
}

TEST(BatchTools, MatchNeedsItsFiles) {
  EngineProcess missing;
  ASSERT_TRUE(missing.start({"-match", "games.pgn"}));
  EXPECT_TRUE(missing.expect_line("Can't open file test1.rc", 10.0));
  EngineProcess unwritable;
  unwritable.write_file("test1.rc", "knight_value 400 380\n");
  ASSERT_TRUE(unwritable.start({"-match", "no/such/dir/games.pgn"}));
  EXPECT_TRUE(unwritable.expect_line("can't open no/such/dir/games.pgn", 10.0));
}

TEST(BatchTools, MatchPlaysAGameAndQuitsCleanly) {
  EngineProcess engine;
  engine.write_file("test1.rc", "knight_value 400 380\nbishop_pair 40 60\n");
  ASSERT_TRUE(engine.start({"-match", "games.pgn"}));
  std::string score;
  ASSERT_TRUE(engine.expect_line("   1 games,  ", 120.0, &score));
  engine.send("quit");
  int status = 0;
  ASSERT_TRUE(engine.wait_exit(30.0, &status));
  int games = 0, wins = 0, losses = 0, draws = 0;
  ASSERT_EQ(std::sscanf(score.c_str(), "%d games, %d %d %d", &games, &wins, &losses, &draws), 4);
  EXPECT_EQ(wins + losses + draws, 1);
  EXPECT_NE(score.find("(+/- 2.487)"), std::string::npos);

  // Exactly the finished game is in the file; the one cut short by quit is not.
  std::string file = engine.read_file("games.pgn");
  EXPECT_EQ(file.rfind("[Event selfplay]\n[Game 1]\n", 0), 0u);
  EXPECT_EQ(file.find("[Game 2]"), std::string::npos);
  bool player1_white = file.find("[White \"Player1\"]") != std::string::npos;
  const char* result = draws ? "1/2-1/2" : (wins != 0) == player1_white ? "1-0" : "0-1";
  EXPECT_NE(file.find(std::string("[Result \"") + result + "\"]"), std::string::npos);
  EXPECT_EQ(file.substr(file.size() - 2), "\n\n");
  // A game called at a score beyond 11.00 goes to the side that score
  // favours: it is the last mover's, and the movers alternate from white.
  double last_score = std::atof(file.c_str() + file.rfind('{') + 1);
  bool white_moved_last = std::count(file.begin(), file.end(), '{') % 2 == 1;
  if (std::fabs(last_score) > 11.0) {
    EXPECT_STREQ(result, (last_score > 0) == white_moved_last ? "1-0" : "0-1") << file;
  }
}
