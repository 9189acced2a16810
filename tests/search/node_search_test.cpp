#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "board/fen.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "eval/params.h"
#include "search/reductions.h"
#include "search/root.h"
#include "search/search.h"
#include "search/search_threads.h"
#include "search/trans_table.h"
#include "search_support.h"
#include "support/shared_data.h"

namespace {

using search_test::set_position;
using search_test::worker;

int node(int depth, int alpha, int beta, int ply = 2) {
  SearchThread* t = worker();
  // Stand the worker at `ply` as if reached from the root.
  t->ply = static_cast<int16_t>(ply);
  for (int p = 0; p <= ply; ++p) t->list_start[p] = t->move_stack;
  t->stack[ply - 1].tb_result = -1;
  t->stack[ply - 1].move_checks = CHECK_UNKNOWN;
  Move pv[MAX_PLY] = {};
  return search(&t->board, t->board.side, ply, depth, alpha, beta, 1, pv);
}

TEST(NodeSearch, MateStalemateAndFiftyMoves) {
  const char* back_rank = "6k1/5ppp/8/8/8/8/8/3R2K1 w - -";
  // The board, moves played, the half-move clock, contempt and the score.
  const std::tuple<const char*, const char*, int, int, int> cases[] = {
      {back_rank, "d1d8", 0, 0, 2 - MATE},  // black is checkmated
      // Stalemate scores the draw value of the side to move: contempt for the
      // side that started the search, its negation for the other.
      {"7k/5Q2/6K1/8/8/8/8/8 w - -", "g6h6", 0, 20, -20},
      // Half-move clock at 100 with a legal move: exactly 0, whatever the
      // contempt; but a mate on the board still counts.
      {"4k3/8/8/8/8/8/4R3/4K3 w - -", "", 100, 30, 0},
      {back_rank, "d1d8", 100, 30, 2 - MATE},
  };
  for (const auto& [fen, moves, fifty, contempt, score] : cases) {
    params.search.draw_score = static_cast<int16_t>(contempt);
    set_position(fen);
    search_test::play(moves);
    worker()->board.fifty = static_cast<uint8_t>(fifty);
    EXPECT_EQ(node(2, -MATE, MATE, 2), score) << fen << " " << moves;
  }
  params.search.draw_score = 0;
}

TEST(NodeSearch, RepetitionByPlyAndGameLength) {
  const char* shuffle = "g1f3 g8f6 f3g1 f6g8";
  set_position("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
  control.draw_value[0] = 25;
  control.draw_value[1] = -25;
  search_test::play(shuffle);
  // One earlier occurrence: a draw at ply 4 and deeper, not at ply 3.
  EXPECT_EQ(node(3, -MATE, MATE, 4), 25);
  EXPECT_NE(node(1, -100, 100, 3), 25);

  // Halved past 100 plies of game (truncated toward zero), nothing past 200.
  for (auto [side, plies, score] : {std::tuple{0, 100, 25}, {1, 100, -25}, {0, 101, 12}, {1, 150, -12}, {0, 200, 12},
                                    {0, 201, 0}})
    EXPECT_EQ(repetition_score(side, plies), score) << side << " " << plies;
}

TEST(NodeSearch, ReductionTablesAndScoreTexts) {
  build_reduction_tables(100);
  EXPECT_EQ((std::pair<int, int>(lmr_nonpv[3][2], lmr_pv[69][31])), std::pair(1, 2));
  // No reduction below depth 3 or for the first two moves; capped at 2 (PV)
  // and 3, never leaving less than depth 2; never smaller for a later move.
  for (int d = 0; d < 70; ++d)
    for (int n = 0; n < 32; ++n) {
      const int pv = lmr_pv[d][n], nonpv = lmr_nonpv[d][n];
      EXPECT_TRUE((d >= 3 && n >= 2) || (pv == 0 && nonpv == 0)) << d << " " << n;
      EXPECT_TRUE(pv <= 2 && nonpv <= std::min(3, std::max(0, d - 2))) << d << " " << n;
      EXPECT_TRUE(n == 0 || nonpv >= lmr_nonpv[d][n - 1]) << d << " " << n;
    }
  build_reduction_tables(400);  // stronger scale reaches the caps sooner
  EXPECT_EQ(lmr_nonpv[20][20], 3);
  build_reduction_tables(100);

  // UCI counts the moves of the side to move: mating on its first move is
  // "mate 1", being mated after its first move (at ply 3) "mate -1".
  const std::pair<int, const char*> texts[] = {{9998, "mate 1"},   {9996, "mate 2"},    {9899, "cp 9899"},
                                               {-9900, "cp -9900"}, {-9997, "mate -1"}, {-9995, "mate -2"},
                                               {-9901, "mate -49"}};
  for (const auto& [score, expected] : texts) {
    char text[32];
    score_text(score, text, sizeof text);
    EXPECT_STREQ(text, expected) << score;
  }
  // A tablebase win (4), draw (2) or loss (0) at the root overrides the score shown.
  for (auto [score, tb, shown] : {std::tuple{150, 4, 9800}, {-300, 2, 0}, {40, 0, -9800}, {9990, 4, 9990}})
    EXPECT_EQ(shown_score(score, tb), shown) << score << " " << tb;
}

// Each row: quiescence at `depth` with the stored evaluation `eval` in the
// window (alpha, beta); the score is checked unless it is NONE (HIGH: at
// least beta), and whether any node was searched below.
TEST(Quiescence, StandPatRecapturesChecksAndLastPawn) {
  constexpr int NONE = -MATE - 1, HIGH = MATE + 1;
  const std::tuple<const char*, int, int, int, int, int, bool> cases[] = {
      // White can win a free queen. Standing pat at beta gives exactly beta;
      // deep down a capture that is not a recapture is not searched.
      {"4k3/8/8/3q4/8/8/3R4/4K3 w - -", 0, 120, -50, 100, 100, false},
      {"4k3/8/8/3q4/8/8/3R4/4K3 w - -", -5, -200, -300, 300, -200, false},
      {"4k3/8/8/3q4/8/8/3R4/4K3 w - -", -4, -200, -300, 300, 300, true},
      // No captures, but a quiet mate in one: only looked at from depth 0 up.
      {"6k1/5ppp/8/8/8/8/8/3R2K1 w - -", -1, 0, -100, 100, 0, false},
      {"6k1/5ppp/8/8/8/8/8/3R2K1 w - -", 0, 0, -100, 100, HIGH, true},
      // Taking the last pawn into a drawn-or-better ending escapes the delta
      // test; with a queen left for the opponent it does not.
      {"4k3/8/8/3p4/8/4N3/8/4K3 w - -", 0, -600, 0, 100, NONE, true},
      {"4k3/8/8/3p4/8/4N3/8/q3K3 w - -", -1, -600, 0, 100, NONE, false},
      // A pawn capture onto the seventh rank escapes the delta test too (both
      // colours); one rank lower it does not.
      {"4k3/p5p1/5P2/8/8/8/8/4K3 w - -", -1, -600, 0, 100, NONE, true},
      {"4k3/8/8/8/8/5p2/P5P1/4K3 b - -", -1, -600, 0, 100, NONE, true},
      {"4k3/p7/6p1/5P2/8/8/8/4K3 w - -", -1, -600, 0, 100, NONE, false},
  };
  SearchThread* t = worker();
  Move pv[MAX_PLY] = {};
  for (const auto& [fen, depth, eval, alpha, beta, score, searched] : cases) {
    set_position(fen);  // the worker at the root (ply 1), no nodes counted
    t->stack[1].eval = static_cast<int16_t>(eval);
    const int v = quiesce(&t->board, t->board.side, 1, depth, alpha, beta, 0, pv);
    EXPECT_TRUE(score == NONE || (score == HIGH ? v >= beta : v == score)) << fen << " depth " << depth << ": " << v;
    EXPECT_EQ(t->nodes > 0, searched) << fen << " depth " << depth;
  }
}

// One thread searches reproducibly, so the node total of fixed searches is
// the signature of the search rules (and of a clean start for each search:
// anything carried from one search into the next changes it). The positions bring in the special
// cases: a side with only pawns, a side without pawns, few pieces, a king in
// check at the root, promotions, en passant and a forced mate. When a change
// to the search or the evaluation is meant to move the total, put the new
// one here.
TEST(Search, NodeTotalIsTheSignatureOfTheRules) {
  const std::pair<const char*, int> searches[] = {
      {"8/5pk1/6p1/8/8/6P1/5PK1/3R4 b - -", 14},          // black: pawns only
      {"8/5pk1/6p1/8/8/6P1/5PK1/3R4 w - -", 14},
      {"8/8/4k3/8/2n5/8/3PK3/8 w - -", 16},                // a knight without pawns
      {"rnbqk1nr/pppp1ppp/8/4p3/1b1P4/8/PPP1PPPP/RNBQKBNR w KQkq -", 10},  // in check
      {"8/1P4k1/8/8/8/8/6pK/8 w - -", 14},                 // promotions on both sides
      {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6", 9},  // en passant
      {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", 12},           // back-rank mate
      {"1n5k/3q3p/pp1p2pB/5r2/1PP1Qp2/P6P/6P1/2R3K1 w - -", 12},  // deep enough to reduce to half the depth
  };
  unsigned long long total = 0;
  for (const auto& [fen, depth] : searches) total += search_test::search_to_depth(fen, depth);
  EXPECT_EQ(total, 969620u);
}

// Which thread's result becomes the shared best line: a deeper iteration
// (unless a mate is already held), a better score at the same depth, or a
// mate at least as short as the one held, whatever its depth.
TEST(Search, PublishedResultsReplaceTheBestLineByTheRules) {
  // The score and depth held and published, and whether the publication is taken.
  const std::tuple<int, int, int, int, bool> cases[] = {
      {-10000, 0, -30, 1, true}, {50, 3, 40, 4, true},    {50, 3, 60, 3, true},   {50, 3, 50, 3, false},
      {50, 4, 90, 3, false},     {9898, 5, 20, 6, true},  {9899, 5, 20, 6, false}, {9950, 7, 9950, 2, true},
      {9960, 7, 9950, 8, false},
  };
  SearchThread* t = worker();
  t->pv_line[1] = coordinate_move("d2d4");
  t->pv_line[2] = coordinate_move("d7d5");
  t->pv_line[3] = 0;
  for (const auto& [held_score, held_depth, score, depth, to_take] : cases) {
    control.best_score = static_cast<int16_t>(held_score);
    control.completed_depth = static_cast<int8_t>(held_depth);
    control.pv[1] = coordinate_move("e2e4");
    control.pv[2] = 0;
    t->score = static_cast<int16_t>(score);
    t->done_depth = static_cast<uint8_t>(depth);
    publish_result(t, BOUND_EXACT);
    const bool taken = control.pv[1] == t->pv_line[1];
    EXPECT_EQ(taken, to_take) << held_score << "/" << held_depth << " against " << score << "/" << depth;
    EXPECT_EQ((std::array<int, 3>{control.best_score, control.completed_depth, control.pv[2]}),
              (std::array<int, 3>{taken ? score : held_score, taken ? depth : held_depth, taken ? t->pv_line[2] : 0}));
    if (taken) {
      EXPECT_EQ(control.score_by_depth[depth], score);
      EXPECT_EQ(control.move_by_depth[depth], t->pv_line[1]);
    }
  }
  control.stop = 0;
}

// With no legal move at the root the search ends at once: mated or
// stalemated, after one iteration, with no move.
TEST(Search, NoLegalMoveAtTheRootEndsAtOnce) {
  for (auto [fen, score] : {std::pair{"3R2k1/5ppp/8/8/8/8/8/6K1 b - -", 1 - MATE}, {"7k/5Q2/6K1/8/8/8/8/8 b - -", 0}}) {
    search_test::search_to_depth(fen, 8);
    const std::array<int, 4> result = {control.best_score, control.completed_depth, control.stop, control.pv[1]};
    EXPECT_EQ(result, (std::array<int, 4>{score, 1, 3, 0})) << fen;
  }
}

TEST(Search, NodeLimitStopsTheSearch) {
  set_position("r1bqkb1r/pp1ppppp/2n2n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R b KQkq -");
  control.node_limit = 20000;
  SearchThread* t = worker();
  t->node_limit = 20000;
  think(1);
  // Each node on the way back counts once more before it sees the flag.
  EXPECT_LE(t->nodes, 20000u + 70);
  EXPECT_NE(control.pv[1], 0);
  control.node_limit = 0;
}

// The first iteration that starts after 3.5 s of a UCI search reports the
// node count, and each root move it starts is named, but only while one
// line is shown, and by its two squares: a promotion shows no piece letter
// there (the info lines' pv does).
TEST(Search, RootProgressAfterThreeAndAHalfSeconds) {
  for (int multipv : {1, 2}) {
    set_position("8/P7/8/8/8/8/8/K6k w - -");
    settings.noise = 5.0;
    control.max_depth = 3;
    search_limits.max_depth = 3;
    search_limits.multipv = multipv;
    control.elapsed = 10.0;
    testing::internal::CaptureStdout();
    think(1);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("info depth 1 time 10000 nodes "), std::string::npos) << out;
    EXPECT_EQ(out.find("\ninfo currmove a7a8 currmovenumber 1\n") != std::string::npos, multipv == 1) << out;
    EXPECT_EQ(out.find("info currmove a7a8q"), std::string::npos) << out;
    // Each iteration's root moves are numbered from 1 on.
    std::istringstream lines(out);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      if (line.find(" hashfull ") != std::string::npos) number = 1;
      if (line.rfind("info currmove ", 0) == 0) {
        EXPECT_EQ(line.substr(line.rfind(' ') + 1), std::to_string(number++)) << line;
      }
    }
  }
  search_limits.multipv = 1;
  settings.noise = 9999.0;
  control.elapsed = 0;
}

// The shared mate problems up to mate in 5, with the exact mate distance.
TEST(Search, FindsMarkedMates) {
  TARN_REQUIRE_SHARED("epd/wac.epd");
  std::ifstream in(tarn_test::shared_path("epd/wac.epd"));
  int checked = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t dm = line.find("dm ");
    if (dm == std::string::npos) continue;
    const int moves = std::atoi(line.c_str() + dm + 3);
    if (moves < 1 || moves > 5) continue;
    // The search ends by itself once it proves a mate within its depth.
    search_test::search_to_depth(line, 24);
    EXPECT_EQ(control.best_score, MATE - 2 * moves) << line;
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
