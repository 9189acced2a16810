// The batch tools as the operator meets them: the engine binary started with
// a tool switch, talking over its pipes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/engine_process.h"
#include "support/uci_session.h"

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

// Games follow the book into one of two mates: the fool's mate, whose last
// move is the book's, so that white searches the mated position (a score far
// below the adjudication line), or the scholar's, which white's search finds
// (far above it). Either way the game goes to the side that mates.
TEST(BatchTools, MatchAdjudicatesMatesAndRecordsFinishedGames) {
  EngineProcess console;
  std::string pgn;
  for (const char* moves : {"1. f3 e5 2. g4 Qh4", "1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6"})
    for (int i = 0; i < 9; i++) pgn += std::string("[Result \"1/2-1/2\"]\n\n") + moves + " 1/2-1/2\n\n";
  ASSERT_TRUE(tarn_test::build_book_in_console(console, pgn));
  EngineProcess engine(console.directory());
  engine.write_file("test1.rc", "knight_value 400 380\n");
  ASSERT_TRUE(engine.start({"-match", "games.pgn"}));
  ASSERT_TRUE(engine.expect_line("  20 games,  ", 120.0));
  engine.send("quit");
  int status = 0, games = 0, wins = 0, losses = 0, draws = 0;
  ASSERT_TRUE(engine.wait_exit(30.0, &status));
  for (const std::string& line : engine.transcript())
    std::sscanf(line.c_str(), "%d games, %d %d %d", &games, &wins, &losses, &draws);
  std::string file = engine.read_file("games.pgn");
  EXPECT_EQ(file.rfind("[Event selfplay]\n[Game 1]\n", 0), 0u);
  EXPECT_EQ(file.substr(file.size() - 2), "\n\n");
  int mated[2] = {0, 0}, recorded = 0, player1_won = 0;  // mated: games won by black, by white
  for (size_t at = 0; (at = file.find("[Result \"", at)) != std::string::npos; at++, recorded++) {
    bool fools = file.compare(file.find('\n', at) + 1, 4, "f2f3") == 0;
    std::string result = file.substr(at + 9, 3);
    EXPECT_EQ(result, fools ? "0-1" : "1-0") << file.substr(at, 40);
    mated[fools ? 0 : 1]++;
    bool player1_white = file.compare(file.find("[White", file.rfind("[Game ", at)), 17, "[White \"Player1\"]") == 0;
    player1_won += (result == "1-0") == player1_white;
  }
  // The last score line counts exactly the recorded games (one cut short by
  // quit is not written), and its wins are Player1's, the variant's side.
  EXPECT_EQ(recorded, games);
  EXPECT_EQ(wins + losses + draws, games);
  EXPECT_EQ(player1_won, wins);
  EXPECT_GT(mated[0], 0);  // each line is taken about half of the time
  EXPECT_GT(mated[1], 0);
}
