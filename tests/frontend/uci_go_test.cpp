// The "go" words "searchmoves" and "mate" through the real engine binary.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/engine_process.h"
#include "support/uci_session.h"

using tarn_test::EngineProcess;
using tarn_test::open_uci;
using tarn_test::search;
using tarn_test::starts;
using tarn_test::word_after;

namespace {

// Mate in 2 (WAC.001, 1.Qg6) and mate in 3 (WAC.050, 1.Rxb6+) from the
// "dm" records of the shared WAC file.
const char* const mate_in_2 = "position fen 2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - -";
const char* const mate_in_3 = "position fen k4r2/1R4pb/1pQp1n1p/3P4/5p1P/3P2P1/r1q1R2K/8 w - -";

using Lines = std::vector<std::string>;
using Moves = std::set<std::string>;

// The score of the last progress line, e.g. "mate 2" or "cp 31".
std::string last_score(const Lines& lines) {
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    const std::string kind = word_after(*line, "score");
    if (!kind.empty()) return kind + " " + word_after(*line, kind);
  }
  return "";
}

// No move outside `allowed` is played or leads a printed line.
void expect_within(const Lines& lines, const Moves& allowed, const std::string& go) {
  ASSERT_FALSE(lines.empty()) << go;
  EXPECT_TRUE(allowed.count(word_after(lines.back(), "bestmove"))) << go << ": " << lines.back();
  for (const std::string& line : lines) {
    const std::string first = word_after(line, "pv");
    EXPECT_TRUE(first.empty() || allowed.count(first)) << go << ": " << line;
  }
}

}  // namespace

TEST(UciGo, SearchmovesLimitsTheRootToTheListedLegalMoves) {
  EngineProcess engine;
  open_uci(engine);
  const std::tuple<const char*, const char*, Moves> cases[] = {  // position, go, the moves allowed
      {"position startpos", "go searchmoves a2a3 depth 5", {"a2a3"}},
      // The mate on the move (d1d8) left out.
      {"position fen 6k1/5ppp/8/8/8/8/8/3R2K1 w - -", "go searchmoves d1d7 d1a1 g1f2 depth 4",
       {"d1d7", "d1a1", "g1f2"}},
      {mate_in_2, "go mate 2 searchmoves c2h7 g3h4 movetime 300", {"c2h7", "g3h4"}},
  };
  for (const auto& [position, go, allowed] : cases) {
    const Lines lines = search(engine, position, go);
    expect_within(lines, allowed, go);
    EXPECT_TRUE(starts(last_score(lines), "cp ")) << go << ": " << last_score(lines);
  }

  // Words that are no legal move are reported and skipped; the list ends at
  // the next "go" word, so "3" is the depth and no move.
  Lines lines = search(engine, "position startpos", "go searchmoves e2e5 e2e4x xyz e7e8q e2e4 depth 3");
  Lines reported;
  for (const std::string& line : lines)
    if (starts(line, "info string ")) reported.push_back(word_after(line, "searchmoves:"));
  EXPECT_EQ(reported, (Lines{"e2e5", "e2e4x", "xyz", "e7e8q"}));
  EXPECT_EQ(lines[0], "info string searchmoves: e2e5 is not a legal move here, skipped");
  EXPECT_EQ(word_after(lines.back(), "bestmove"), "e2e4");
  // A move listed again takes no second place: 300 repeats still leave room
  // for the last, better move.
  std::string repeats;
  for (int i = 0; i < 300; ++i) repeats += "a2a3 ";
  lines = search(engine, "position startpos", "go searchmoves " + repeats + "e2e4 depth 4");
  EXPECT_EQ(word_after(lines.back(), "bestmove"), "e2e4");

  // No legal move listed: the search is the one without the word.
  engine.send("ucinewgame");
  const std::string plain = search(engine, "position startpos moves e2e4", "go depth 6").back();
  engine.send("ucinewgame");
  EXPECT_EQ(search(engine, "position startpos moves e2e4", "go searchmoves e2e4 a1a1 depth 6").back(), plain);
  // A single listed move in a position with many is searched to the limit,
  // not cut short as a forced move.
  lines = search(engine, "position startpos", "go searchmoves h2h3 depth 11", 60);
  EXPECT_EQ(word_after(lines[lines.size() - 2], "depth"), "11");
}

TEST(UciGo, SearchmovesWithMultiPvAndHelperThreads) {
  EngineProcess engine;
  open_uci(engine, {"MultiPV value 2", "Threads value 2"});
  const char* go = "go searchmoves g2g3 b2b3 h2h4 depth 6";
  Lines lines = search(engine, "position startpos", go);
  expect_within(lines, {"g2g3", "b2b3", "h2h4"}, go);
  Moves lines_at_6, numbers;
  for (const std::string& line : lines) {
    numbers.insert(word_after(line, "multipv"));
    if (word_after(line, "depth") == "6") lines_at_6.insert(word_after(line, "multipv"));
  }
  EXPECT_EQ(lines_at_6, (Moves{"1", "2"}));
  EXPECT_FALSE(numbers.count("3"));
  // One listed move makes one line, whatever MultiPV asks.
  lines = search(engine, "position startpos", "go searchmoves a2a4 depth 5");
  expect_within(lines, {"a2a4"}, "a2a4");
  for (const std::string& line : lines) EXPECT_NE(word_after(line, "multipv"), "2") << line;
  // Back to one thread, and then without a table.
  engine.send("setoption name Threads value 1");
  engine.send("setoption name Hash value 0");
  ASSERT_TRUE(engine.expect_line("info string Hash size set to 0M bytes"));
  EXPECT_EQ(word_after(search(engine, "position startpos", "go depth 4").back(), "bestmove").size(), 4u);
}

TEST(UciGo, MateEndsTheSearchOnceAMateThatShortIsFoundOrAfterPonderhit) {
  EngineProcess engine;
  open_uci(engine);
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {  // position, go, best, score
      {mate_in_2, "go mate 2", "g3g6", "mate 2"},
      {mate_in_3, "go mate 5", "b7b6", "mate 3"},  // "in N or fewer"
      // A depth cap of an earlier "go" does not hold the mate search back.
      {mate_in_3, "go depth 1", nullptr, nullptr},
      {mate_in_3, "go mate 3", "b7b6", "mate 3"},
      // Without the mate, a fixed time or a clock still ends the search.
      {mate_in_3, "go mate 2 movetime 400", nullptr, nullptr},
      {mate_in_3, "go mate 2 wtime 3000 btime 3000", nullptr, nullptr},
  };
  for (const auto& [position, go, best, score] : cases) {
    const Lines lines = search(engine, position, go, 10);
    ASSERT_FALSE(lines.empty()) << go;
    if (!best) continue;
    EXPECT_EQ(word_after(lines.back(), "bestmove"), best) << go;
    EXPECT_EQ(last_score(lines), score) << go;
  }
  // Only a mate in 2 here, only a mate in 3 there: the analysis goes on
  // until "stop".
  for (const char* position : {mate_in_2, mate_in_3}) {
    engine.send(position);
    engine.send(position == mate_in_2 ? "go mate 1" : "go mate 2");
    for (const std::string& line : engine.read_for(1.5)) EXPECT_FALSE(starts(line, "bestmove")) << position;
    engine.send("stop");
    ASSERT_TRUE(engine.expect_line("bestmove", 2)) << position;
  }
  // With "ponder" (and "searchmoves" too) the search waits for "ponderhit"
  // as always.
  const std::pair<const char*, Moves> searches[] = {
      {"go ponder mate 2", {"g3g6"}}, {"go ponder searchmoves a2a3 h2h4 wtime 1000 btime 1000", {"a2a3", "h2h4"}}};
  for (const auto& [go, allowed] : searches) {
    engine.send(mate_in_2);
    engine.send(go);
    for (const std::string& line : engine.read_for(0.8)) EXPECT_FALSE(starts(line, "bestmove")) << go;
    engine.send("ponderhit");
    std::string best;
    ASSERT_TRUE(engine.expect_line("bestmove", 3, &best)) << go;
    EXPECT_TRUE(allowed.count(word_after(best, "bestmove"))) << best;
  }
}
