// The "go" words "searchmoves" and "mate" through the real engine binary.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/engine_process.h"

using tarn_test::EngineProcess;

namespace {

// Mate in 2 (WAC.001, 1.Qg6) and mate in 3 (WAC.050, 1.Rxb6+) from the
// "dm" records of the shared WAC file.
const char* const mate_in_2 = "position fen 2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - -";
const char* const mate_in_3 = "position fen k4r2/1R4pb/1pQp1n1p/3P4/5p1P/3P2P1/r1q1R2K/8 w - -";

bool starts(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

void open(EngineProcess& engine, const std::vector<std::string>& options = {}) {
  ASSERT_TRUE(engine.start({"-nolog"}));
  engine.send("uci");
  ASSERT_TRUE(engine.expect_line("uciok"));
  for (const std::string& option : options) engine.send("setoption name " + option);
  engine.send("isready");
  ASSERT_TRUE(engine.expect_line("readyok", 10));
}

// The lines of one search, up to and including its best-move line.
std::vector<std::string> search(EngineProcess& engine, const std::string& position, const std::string& go,
                                double timeout_s = 30) {
  engine.send(position);
  engine.send(go);
  return engine.read_until("bestmove", timeout_s);
}

std::string word_after(const std::string& line, const std::string& key) {
  const size_t at = line.find(" " + key + " ");
  if (at == std::string::npos) return "";
  const size_t start = at + key.size() + 2;
  return line.substr(start, line.find(' ', start) - start);
}

// The first move of every principal line printed.
std::set<std::string> first_pv_moves(const std::vector<std::string>& lines) {
  std::set<std::string> moves;
  for (const std::string& line : lines)
    if (starts(line, "info ") && line.find(" pv ") != std::string::npos) moves.insert(word_after(line, "pv"));
  return moves;
}

// The score of the last progress line, e.g. "mate 2" or "cp 31".
std::string last_score(const std::vector<std::string>& lines) {
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    const size_t at = line->find(" score ");
    if (at == std::string::npos) continue;
    const size_t start = at + 7;
    return line->substr(start, line->find(' ', line->find(' ', start) + 1) - start);
  }
  return "";
}

// The move of the best-move line that ends a search.
std::string best_move(const std::vector<std::string>& lines) {
  return lines.empty() ? "" : word_after(" " + lines.back() + " ", "bestmove");
}

bool subset(const std::set<std::string>& moves, const std::set<std::string>& allowed) {
  for (const std::string& move : moves)
    if (!allowed.count(move)) return false;
  return true;
}

}  // namespace

TEST(UciGo, SearchmovesLimitsTheRootToTheListedLegalMoves) {
  EngineProcess engine;
  open(engine);
  std::vector<std::string> lines = search(engine, "position startpos", "go searchmoves a2a3 depth 5");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(best_move(lines), "a2a3");
  EXPECT_EQ(first_pv_moves(lines), std::set<std::string>{"a2a3"});

  // Excluding the mate on the move: the best of the rest, and no mate score.
  const std::string back_rank = "position fen 6k1/5ppp/8/8/8/8/8/3R2K1 w - -";
  lines = search(engine, back_rank, "go depth 4");
  EXPECT_EQ(best_move(lines), "d1d8");
  lines = search(engine, back_rank, "go searchmoves d1d7 d1a1 g1f2 depth 4");
  const std::set<std::string> listed = {"d1d7", "d1a1", "g1f2"};
  EXPECT_TRUE(listed.count(best_move(lines))) << lines.back();
  EXPECT_TRUE(subset(first_pv_moves(lines), listed));
  EXPECT_TRUE(starts(last_score(lines), "cp ")) << last_score(lines);

  // Words that are no legal move are reported and skipped; the list ends at
  // the next "go" word, so "3" is the depth and no move.
  lines = search(engine, "position startpos", "go searchmoves e2e5 e2e4x xyz e7e8q e2e4 depth 3");
  const std::vector<std::string> skipped = {"e2e5", "e2e4x", "xyz", "e7e8q"};
  std::vector<std::string> reported;
  for (const std::string& line : lines)
    if (starts(line, "info string ")) reported.push_back(line);
  ASSERT_EQ(reported.size(), skipped.size());
  for (size_t i = 0; i < skipped.size(); ++i)
    EXPECT_EQ(reported[i], "info string searchmoves: " + skipped[i] + " is not a legal move here, skipped");
  EXPECT_EQ(best_move(lines), "e2e4");

  // No legal move listed: the search is the one without the word.
  engine.send("ucinewgame");
  const std::string plain = search(engine, "position startpos moves e2e4", "go depth 6").back();
  engine.send("ucinewgame");
  lines = search(engine, "position startpos moves e2e4", "go searchmoves e2e4 a1a1 depth 6");
  EXPECT_EQ(lines.back(), plain);
  // A single listed move in a position with many is searched to the limit,
  // not cut short as a forced move.
  lines = search(engine, "position startpos", "go searchmoves h2h3 depth 11", 60);
  bool deepest = false;
  for (const std::string& line : lines) deepest |= starts(line, "info depth 11 ");
  EXPECT_TRUE(deepest);
}

TEST(UciGo, SearchmovesWithMultiPvAndHelperThreads) {
  EngineProcess engine;
  open(engine, {"MultiPV value 2", "Threads value 2"});
  const std::set<std::string> listed = {"g2g3", "b2b3", "h2h4"};
  std::vector<std::string> lines = search(engine, "position startpos", "go searchmoves g2g3 b2b3 h2h4 depth 6");
  std::set<std::string> lines_at_6;
  for (const std::string& line : lines) {
    if (!starts(line, "info multipv ")) continue;
    EXPECT_TRUE(listed.count(word_after(line, "pv"))) << line;
    EXPECT_NE(word_after(line, "multipv"), "3") << line;
    if (word_after(line, "depth") == "6") lines_at_6.insert(word_after(line, "multipv"));
  }
  EXPECT_EQ(lines_at_6, (std::set<std::string>{"1", "2"}));
  EXPECT_TRUE(listed.count(best_move(lines))) << lines.back();

  // One listed move makes one line, whatever MultiPV asks.
  lines = search(engine, "position startpos", "go searchmoves a2a4 depth 5");
  for (const std::string& line : lines)
    EXPECT_TRUE(!starts(line, "info multipv ") || starts(line, "info multipv 1 ")) << line;
  EXPECT_EQ(best_move(lines), "a2a4");
}

TEST(UciGo, MateEndsTheSearchOnceAMateThatShortIsFound) {
  EngineProcess engine;
  open(engine);
  struct Case {
    const char* position;
    const char* go;
    const char* best;
    const char* score;
  } cases[] = {
      {mate_in_2, "go mate 2", "g3g6", "mate 2"},
      {mate_in_3, "go mate 3", "b7b6", "mate 3"},
      {mate_in_3, "go mate 5", "b7b6", "mate 3"},  // "in N or fewer"
      // A depth cap of an earlier "go" does not hold the mate search back.
      {mate_in_3, "go depth 1", nullptr, nullptr},
      {mate_in_3, "go mate 3", "b7b6", "mate 3"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = search(engine, c.position, c.go, 10);
    ASSERT_FALSE(lines.empty()) << c.go;
    if (!c.best) continue;
    EXPECT_EQ(best_move(lines), c.best) << c.go;
    EXPECT_EQ(last_score(lines), c.score) << c.go;
  }
}

TEST(UciGo, MateNotFoundRunsUntilStopOrItsOtherLimits) {
  EngineProcess engine;
  open(engine);
  // Only a mate in 2 here, and only mate in 3 there: the analysis goes on
  // until "stop".
  const std::pair<const char*, const char*> searches[] = {{mate_in_2, "go mate 1"}, {mate_in_3, "go mate 2"}};
  for (auto [position, go] : searches) {
    engine.send(position);
    engine.send(go);
    std::vector<std::string> lines = engine.read_for(1.5);
    for (const std::string& line : lines) EXPECT_FALSE(starts(line, "bestmove")) << go;
    engine.send("stop");
    std::string best;
    ASSERT_TRUE(engine.expect_line("bestmove", 2, &best)) << go;
  }
  // A fixed time or a clock ends it as well.
  const char* timed[] = {"go mate 2 movetime 400", "go mate 2 wtime 3000 btime 3000"};
  for (const char* go : timed) {
    std::vector<std::string> lines = search(engine, mate_in_3, go, 4);
    ASSERT_FALSE(lines.empty()) << go;
    EXPECT_TRUE(starts(lines.back(), "bestmove ")) << go;
  }
  // Excluding the mating move leaves no mate to find.
  std::vector<std::string> lines = search(engine, mate_in_2, "go mate 2 searchmoves c2h7 g3h4 movetime 300", 4);
  EXPECT_TRUE(best_move(lines) == "c2h7" || best_move(lines) == "g3h4") << lines.back();
}

// Both words hold for a ponder search, which waits for "ponderhit" as
// always.
TEST(UciGo, PonderWithMateAndSearchmoves) {
  EngineProcess engine;
  open(engine);
  const std::pair<const char*, std::set<std::string>> searches[] = {
      {"go ponder mate 2", {"g3g6"}}, {"go ponder searchmoves a2a3 h2h4 wtime 1000 btime 1000", {"a2a3", "h2h4"}}};
  for (const auto& [go, allowed] : searches) {
    engine.send(mate_in_2);
    engine.send(go);
    std::vector<std::string> lines = engine.read_for(0.8);
    for (const std::string& line : lines) EXPECT_FALSE(starts(line, "bestmove")) << go;
    engine.send("ponderhit");
    std::string best;
    ASSERT_TRUE(engine.expect_line("bestmove", 3, &best)) << go;
    EXPECT_TRUE(allowed.count(best_move({best}))) << best;
  }
}

// A piped script cannot send "stop": at the end of its input a mate search
// without other limits is stopped and answered.
TEST(UciGo, PipedMateSearchIsAnswered) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-nolog"}));
  engine.send(mate_in_3);
  engine.send("go mate 2");
  engine.close_input();
  std::vector<std::string> lines = engine.read_until("bestmove", 10);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(starts(lines.back(), "bestmove "));
  int status = -1;
  EXPECT_TRUE(engine.wait_exit(5, &status));
  EXPECT_EQ(status, 0);
}
