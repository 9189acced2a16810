// The search through the real engine binary: what an interface sees.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/engine_process.h"

namespace {

using tarn_test::EngineProcess;

bool starts(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

int count_prefix(const std::vector<std::string>& lines, const char* prefix) {
  int n = 0;
  for (const std::string& line : lines) n += starts(line, prefix);
  return n;
}

// An engine in UCI mode, past "uciok" and a first "readyok".
void open(EngineProcess& engine, const std::vector<std::string>& options = {}) {
  ASSERT_TRUE(engine.start({"-nolog"}));
  engine.send("uci");
  ASSERT_TRUE(engine.expect_line("uciok"));
  for (const std::string& option : options) engine.send("setoption name " + option);
  engine.send("isready");
  ASSERT_TRUE(engine.expect_line("readyok", 10));
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(UciSearch, DepthInfoLinesAndOneBestMove) {
  EngineProcess engine;
  open(engine);
  engine.send("position startpos moves e2e4 e7e5");
  engine.send("go depth 6");
  std::vector<std::string> lines = engine.read_until("bestmove", 30);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(starts(lines.back(), "bestmove "));
  EXPECT_NE(lines.back().find(" ponder "), std::string::npos);
  bool depth6 = false;
  for (const std::string& line : lines) {
    if (!starts(line, "info depth")) continue;
    // info depth D seldepth S time T score cp|mate N nodes N nps N tbhits N pv ...
    EXPECT_NE(line.find(" seldepth "), std::string::npos) << line;
    EXPECT_NE(line.find(" time "), std::string::npos) << line;
    EXPECT_NE(line.find(" score cp "), std::string::npos) << line;
    EXPECT_NE(line.find(" nodes "), std::string::npos) << line;
    EXPECT_NE(line.find(" tbhits 0 pv "), std::string::npos) << line;
    depth6 |= starts(line, "info depth 6 ");
  }
  EXPECT_TRUE(depth6);
  // Nothing more until the next command; a second search answers once again.
  EXPECT_EQ(count_prefix(engine.read_for(0.3), "bestmove"), 0);
  engine.send("ucinewgame");
  engine.send("position fen 6k1/5ppp/8/8/8/8/8/3R2K1 w - -");
  engine.send("go depth 4");
  lines = engine.read_until("bestmove", 30);
  EXPECT_EQ(lines.back(), "bestmove d1d8");
  EXPECT_GE(count_prefix(lines, "info depth"), 1);
  bool mate = false;
  for (const std::string& line : lines) mate |= line.find("score mate 1 ") != std::string::npos;
  EXPECT_TRUE(mate);
}

TEST(UciSearch, MovetimeAndClocks) {
  EngineProcess engine;
  open(engine);
  engine.send("position startpos");
  auto start = std::chrono::steady_clock::now();
  engine.send("go movetime 1000");
  ASSERT_TRUE(engine.expect_line("bestmove", 5));
  double took = seconds_since(start);
  EXPECT_GT(took, 0.8);  // a stable best move may stop at 85% of the time
  EXPECT_LT(took, 1.3);

  // Sudden death with and without increment, and moves to go: quick and legal.
  const char* clocks[] = {"go wtime 3000 btime 3000", "go wtime 2000 btime 2000 winc 100 binc 100",
                          "go wtime 1500 btime 1500 movestogo 2", "go wtime 100 btime 100"};
  for (const char* go : clocks) {
    engine.send("position startpos moves d2d4");
    engine.send(go);
    start = std::chrono::steady_clock::now();
    std::string best;
    ASSERT_TRUE(engine.expect_line("bestmove", 5, &best)) << go;
    EXPECT_LT(seconds_since(start), 2.0) << go;
  }
  engine.send("go wtime 30000 btime 100 binc 0");
  start = std::chrono::steady_clock::now();
  ASSERT_TRUE(engine.expect_line("bestmove", 5));
  EXPECT_LT(seconds_since(start), 0.2);  // black's clock is nearly gone
}

// Under UCI the time-control trace of a search start is for the log alone.
TEST(UciSearch, TimeControlTraceGoesToTheLogOnly) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start());  // no "uci" yet: logging is still on
  engine.send("position startpos moves e2e4");
  engine.send("go movetime 100");
  std::vector<std::string> lines = engine.read_until("bestmove", 5);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(count_prefix(lines, "info string fen"), 0);
  EXPECT_EQ(count_prefix(lines, "info string ply="), 0);
  engine.send("quit");
  int status = 0;
  ASSERT_TRUE(engine.wait_exit(10, &status));
  const std::string log = engine.read_file("tarn.log");
  EXPECT_NE(log.find("\ninfo string fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3\n"
                     "info string ply= 1, trg_time= 0.100 sec\n"),
            std::string::npos)
      << log;
}

TEST(UciSearch, PonderInfiniteStopAndIsready) {
  EngineProcess engine;
  open(engine);
  engine.send("position startpos moves e2e4");
  engine.send("go ponder wtime 60000 btime 60000");
  EXPECT_EQ(count_prefix(engine.read_for(0.5), "bestmove"), 0);
  engine.send("ponderhit");
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(engine.expect_line("bestmove", 5));
  EXPECT_LT(seconds_since(start), 2.5);  // the budget (about 2 s) includes the pondering

  engine.send("go ponder wtime 60000 btime 60000");
  engine.read_for(0.3);
  engine.send("stop");
  start = std::chrono::steady_clock::now();
  ASSERT_TRUE(engine.expect_line("bestmove", 1));
  EXPECT_LT(seconds_since(start), 0.2);

  // Infinite: never ends alone, even with one legal move; isready answers
  // at once; stop answers within milliseconds.
  engine.send("position fen 7k/8/8/8/8/8/r7/K7 w - -");
  engine.send("go infinite");
  std::vector<std::string> lines = engine.read_for(1.5);
  EXPECT_EQ(count_prefix(lines, "bestmove"), 0);
  start = std::chrono::steady_clock::now();
  engine.send("isready");
  ASSERT_TRUE(engine.expect_line("readyok", 1));
  EXPECT_LT(seconds_since(start), 0.1);
  engine.send("stop");
  std::string best;
  ASSERT_TRUE(engine.expect_line("bestmove", 1, &best));
  EXPECT_EQ(best, "bestmove a1a2");
  EXPECT_LT(seconds_since(start), 0.2);

  engine.send("position startpos");
  engine.send("go infinite");
  engine.read_for(0.4);
  start = std::chrono::steady_clock::now();
  engine.send("isready");
  ASSERT_TRUE(engine.expect_line("readyok", 1));
  engine.send("stop");
  ASSERT_TRUE(engine.expect_line("bestmove", 1));
  EXPECT_LT(seconds_since(start), 0.2);
  // A "go" while a ponder search runs: both answered, in order.
  engine.send("go ponder wtime 60000 btime 60000");
  engine.read_for(0.2);
  engine.send("go depth 3");
  lines = engine.read_for(1.5);
  EXPECT_EQ(count_prefix(lines, "bestmove"), 2);
}

TEST(UciSearch, MultiPvAndThreads) {
  EngineProcess engine;
  open(engine, {"MultiPV value 3", "Threads value 2"});
  engine.send("position startpos");
  engine.send("go depth 5");
  std::vector<std::string> lines = engine.read_until("bestmove", 30);
  ASSERT_TRUE(starts(lines.back(), "bestmove"));
  bool line_seen[4] = {};
  for (const std::string& line : lines)
    if (starts(line, "info multipv ") && line.find(" depth 5 ") != std::string::npos)
      line_seen[line[13] - '0'] = true;
  EXPECT_TRUE(line_seen[1] && line_seen[2] && line_seen[3]);
  engine.send("setoption name MultiPV value 1");
  engine.send("go movetime 500");
  ASSERT_TRUE(engine.expect_line("bestmove", 3));
  engine.send("setoption name Threads value 1");
  ASSERT_TRUE(engine.expect_line("info string Threads set to 1"));
  engine.send("setoption name Hash value 0");
  ASSERT_TRUE(engine.expect_line("info string Hash size set to 0M bytes"));
  engine.send("go depth 4");
  ASSERT_TRUE(engine.expect_line("bestmove", 10));
  engine.send("quit");
  int status = -1;
  EXPECT_TRUE(engine.wait_exit(5, &status));
  EXPECT_EQ(status, 0);
}

TEST(ConsoleSearch, AnalysisMovesAndSummary) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-c", "-nolog"}));
  engine.send("go 6");
  std::vector<std::string> lines = engine.read_until("Hash fill=", 20);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(starts(lines.back(), "Hash fill= "));
  EXPECT_TRUE(starts(lines[lines.size() - 2], "move= "));
  EXPECT_GE(count_prefix(lines, "01] 06"), 1);
  engine.send("pv");
  ASSERT_TRUE(engine.expect_line("PV: ", 5));
  engine.send("ev");
  ASSERT_TRUE(engine.expect_line("eval= ", 5));
  engine.send("go");
  engine.read_for(0.5);
  engine.send(".");
  ASSERT_TRUE(engine.expect_line("move= ", 2));
  engine.send("e4");
  ASSERT_TRUE(engine.expect_line("1. move e4", 5));
  engine.send("depth 3");
  engine.send("mv");
  ASSERT_TRUE(engine.expect_line("move= ", 10));
  engine.send("fen 7k/5Q2/8/6K1/8/8/8/8 w - -");
  engine.send("self");
  // Self-play runs until a side has no move; mate in one ends it quickly.
  ASSERT_TRUE(engine.expect_line("move= ", 10));
  lines = engine.read_for(1.0);
  engine.send("quit");
}

}  // namespace

namespace {

TEST(Benchmark, PositionLinesAndTotal) {
  // "-pbench" always searches to depth 17, too slow for the suite.
  for (const char* kind : {"-bench", "-bench2"}) {
    tarn_test::EngineProcess engine;
    ASSERT_TRUE(engine.start({"-nolog", kind, "-d", "4"}));
    const std::vector<std::string> lines = engine.read_until("total time=", 120);
    int status = -1;
    EXPECT_TRUE(engine.wait_exit(10, &status));
    EXPECT_EQ(status, 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "running benchmark");
    EXPECT_EQ(count_prefix(lines, "pos "), std::string(kind) == "-bench2" ? 20 : 10) << kind;
    EXPECT_TRUE(starts(lines.back(), "total time= "));
    EXPECT_NE(lines.back().find(" nodes= "), std::string::npos);
    EXPECT_EQ(count_prefix(lines, "info"), 0);  // the benchmark is quiet
  }
}

}  // namespace
