#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "eval/params.h"
#include "search/search_threads.h"
#include "search/time_control.h"
#include "search_support.h"

namespace {

// A game position with `plies` half-moves played (knights shuffling), the
// clocks and limits of a fresh UCI "go" (the worker's set-up gives one
// thread under UCI).
void setup(int plies, double white_clock) {
  search_test::worker();
  control.overhead = 0.025;
  control.ponder = 0;
  control.increment = 0;
  control.level_moves = 0;
  control.clock[0] = control.clock[1] = white_clock;
  control.start_request = 1;
  Board* board = &thread_table[0]->board;
  parse_fen(board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
  const char* shuffle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  for (int i = 0; i < plies; ++i) make_move(board, coordinate_move(shuffle[i % 4]));
  start_search_clock_at(100.0);
  prepare_search();
}

TEST(TimeControl, Budgets) {
  // Plies played, the clock, level moves, moves to go, increment, ponder, and the budget.
  const std::tuple<int, double, int, int, double, int, double> cases[] = {
      {0, 5.0, 1, 0, 0, 0, 5.0},  // fixed time per move, as at start-up
      {0, 60.0, 0, 0, 0, 0, 60.0 / 39},
      {0, 60.0, 0, 0, 0, 1, 60.0 / 39 * 1.3},
      {40, 60.0, 0, 0, 1.0, 0, 2.4 + 60.0 / 62},
      // Below the cap of 0.65 K - 4 overhead (0.55); a nonsense count must
      // not divide by zero.
      {0, 1.0, 40, 1, 0, 0, 0.5}, {0, 1.0, 40, 0, 0, 0, 0.55},
  };
  for (const auto& [plies, clock, level_moves, moves_to_go, increment, ponder, target] : cases) {
    setup(plies, clock);
    control.level_moves = static_cast<uint8_t>(level_moves);
    control.level_time = clock;
    control.moves_to_go = static_cast<int16_t>(moves_to_go);
    control.increment = increment;
    control.ponder = static_cast<int16_t>(ponder);
    compute_target_time();
    EXPECT_NEAR(control.target_time, target, 1e-9) << clock << " after " << plies << " plies";
  }
  setup(40, 60.0);
  EXPECT_EQ(control.moves_to_go, 24);

  setup(0, 0.05);
  EXPECT_DOUBLE_EQ(control.target_time, 0.002);  // never below the floor
  EXPECT_EQ(control.stop, 0);
  EXPECT_EQ(control.hash_age, 1);

  // Contempt goes to the side to move at the root, its negation to the other.
  params.search.draw_score = 20;
  for (int plies : {0, 1}) {
    setup(plies, 60.0);
    EXPECT_EQ((std::pair<int, int>(control.draw_value[plies], control.draw_value[plies ^ 1])), std::pair(20, -20));
  }
  params.search.draw_score = 0;
}

// The main search thread as check_time sees it mid-search.
void searching(int depth, int previous_score, int best_score) {
  SearchThread* t = thread_table[1];
  t->iter_depth = static_cast<uint8_t>(depth);
  t->score_at_depth[depth - 1] = static_cast<int16_t>(previous_score);
  t->score = static_cast<int16_t>(best_score);
  t->iter_state = 0;
  t->pv_line[1] = 0x0C1C;
  control.pv[1] = 0x0C1C;
  control.best_score = static_cast<int16_t>(best_score);
  control.completed_depth = static_cast<int8_t>(depth - 1);
  control.best_change_depth = 1;
}

// A score that falls below the previous iteration's borrows u percent of
// the remaining clock, by tiers of the margin (a / 16 + 15, or 65 beyond
// 799): with 60 s on the clock the search stops once elapsed reaches
// target + u / 100 * (60 - elapsed) - overhead.
TEST(TimeControl, UrgencyTiersAtTheirBoundaries) {
  const std::tuple<int, int, int> cases[] = {  // previous score, best score, u
      {20, 4, 0},    {20, 3, 4},    {20, -12, 4},  {20, -13, 8},    {20, -44, 8},   {20, -45, 20},
      {800, 735, 0}, {800, 734, 4}, {799, 734, 4}, {-800, -865, 0}, {-800, -866, 4},
  };
  for (const auto& [previous, best, u] : cases) {
    setup(0, 60.0);
    const double stop_at = (control.target_time + u * 0.6 - 0.025) / (1 + u / 100.0);
    searching(5, previous, best);
    check_time_at(100.0 + stop_at - 0.01);
    EXPECT_EQ(control.stop, 0) << previous << " " << best;
    check_time_at(100.0 + stop_at + 0.01);
    EXPECT_EQ(control.stop, 1) << previous << " " << best;
  }
}

// Each row checks the time at `target_share` of the budget plus `seconds`
// into a search at `depth` whose best move last changed at `change`.
TEST(TimeControl, StopRules) {
  // The clock, depth, change, early stop and state, the time, and the stop expected.
  const std::tuple<double, int, int, int, int, double, double, int> cases[] = {
      // At the budget, less the overhead (about 1.54 s with 60 s left).
      {60, 5, 1, 0, 1, 1, -0.03, 0}, {60, 5, 1, 0, 1, 1, 0, 1},
      // Nothing stops before iteration 2 is complete.
      {60, 2, 1, 0, 1, 0, 30, 0},
      // A stable best move from depth 7 on stops at 85% of the budget.
      {60, 8, 1, 0, 1, 0.86, 0, 1},
      // Pondering only keeps the clock.
      {60, 5, 1, 0, 2, 0, 10, 0},
      // Emergency: under 5 x overhead left on the clock.
      {0.1, 3, 1, 0, 1, 0, 0.03, 1},
      // One legal move: stop at once; an easy move at half the budget (a
      // late change keeps the 85% factor away).
      {60, 8, 1, 1, 1, 0, 0.05, 1}, {60, 13, 12, 2, 1, 0.5, -0.01, 0}, {60, 13, 12, 2, 1, 0.5, 0, 1},
      // Analysis (console "go", here 1 s) is ended with an abort, not a
      // "stop and report"; but an early stop is a stop and report, even
      // past the limit.
      {60, 5, 1, 0, 3, 0, 1.5, 2}, {60, 5, 1, 1, 3, 0, 1.5, 1}, {60, 5, 1, 2, 3, 0, 1.5, 1},
  };
  for (const auto& [clock, depth, change, early, state, target_share, seconds, stop] : cases) {
    setup(0, clock);
    control.state = static_cast<uint8_t>(state);
    if (state == 3) {
      control.level_moves = 1;
      control.target_time = 1.0;
    }
    searching(depth, 20, 20);
    control.best_change_depth = static_cast<int8_t>(change);
    control.early_stop = static_cast<uint8_t>(early);
    const double at = target_share * control.target_time + seconds;
    check_time_at(100.0 + at);
    EXPECT_EQ(control.stop, stop) << "depth " << depth << " state " << state << " at " << at;
    EXPECT_NEAR(control.elapsed, at, 1e-9);
  }
}

}  // namespace
