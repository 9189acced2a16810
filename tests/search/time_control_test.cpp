#include <gtest/gtest.h>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "core/engine_state.h"
#include "eval/params.h"
#include "search/search_threads.h"
#include "search/time_control.h"

namespace {

// A game position with `plies` half-moves played (knights shuffling), the
// clocks and limits of a fresh UCI "go".
void setup(int plies, double white_clock) {
  static bool ready = [] {
    init_attack_tables();
    init_keys();
    set_default_params(params);
    thread_table[0] = alloc_thread_block();
    thread_table[1] = alloc_thread_block();
    return true;
  }();
  (void)ready;
  settings.noise = 9999.0;
  settings.protocol = 2;
  control.threads = 1;
  control.hash_mb = 1;
  control.overhead = 0.025;
  control.ponder = 0;
  control.increment = 0;
  control.level_moves = 0;
  control.clock[0] = control.clock[1] = white_clock;
  control.start_request = 1;
  Board* board = &thread_table[0]->board;
  parse_fen(board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
  const Move shuffle[4] = {make_move_word(6, 21), make_move_word(62, 45), make_move_word(21, 6),
                           make_move_word(45, 62)};
  for (int i = 0; i < plies; ++i) make_move(board, shuffle[i % 4]);
  start_search_clock_at(100.0);
  prepare_search();
}

TEST(TimeControl, Budgets) {
  control.level_moves = 1;
  control.level_time = 5.0;
  setup(0, 5.0);
  control.level_moves = 1;  // fixed time per move, as at start-up
  compute_target_time();
  EXPECT_DOUBLE_EQ(control.target_time, 5.0);

  setup(0, 60.0);
  EXPECT_NEAR(control.target_time, 60.0 / 39, 1e-9);
  control.ponder = 1;
  compute_target_time();
  EXPECT_NEAR(control.target_time, 60.0 / 39 * 1.3, 1e-9);

  control.ponder = 0;
  setup(40, 60.0);
  control.increment = 1.0;
  compute_target_time();
  EXPECT_NEAR(control.target_time, 2.4 + 60.0 / 62, 1e-9);
  EXPECT_EQ(control.moves_to_go, 24);

  setup(0, 1.0);
  control.level_moves = 40;
  control.moves_to_go = 1;
  compute_target_time();
  EXPECT_NEAR(control.target_time, 0.5, 1e-9);  // below the cap of 0.55
  control.moves_to_go = 0;  // a nonsense count must not divide by zero
  compute_target_time();
  EXPECT_NEAR(control.target_time, 0.55, 1e-9);  // capped at 0.65 K - 4 overhead

  setup(0, 0.05);
  EXPECT_DOUBLE_EQ(control.target_time, 0.002);  // never below the floor
  EXPECT_EQ(control.stop, 0);
  EXPECT_EQ(control.hash_age, 1);

  // Contempt goes to the side to move at the root, its negation to the other.
  params.search.draw_score = 20;
  for (int plies : {0, 1}) {
    setup(plies, 60.0);
    EXPECT_EQ(control.draw_value[plies], 20);
    EXPECT_EQ(control.draw_value[plies ^ 1], -20);
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
  struct Case {
    int previous, best, u;
  } cases[] = {
      {20, 4, 0},    {20, 3, 4},    {20, -12, 4},  {20, -13, 8},    {20, -44, 8},   {20, -45, 20},
      {800, 735, 0}, {800, 734, 4}, {799, 734, 4}, {-800, -865, 0}, {-800, -866, 4},
  };
  for (const Case& c : cases) {
    setup(0, 60.0);
    const double stop_at = (control.target_time + c.u * 0.6 - 0.025) / (1 + c.u / 100.0);
    searching(5, c.previous, c.best);
    check_time_at(100.0 + stop_at - 0.01);
    EXPECT_EQ(control.stop, 0) << c.previous << " " << c.best;
    check_time_at(100.0 + stop_at + 0.01);
    EXPECT_EQ(control.stop, 1) << c.previous << " " << c.best;
  }
}

TEST(TimeControl, StopRules) {
  setup(0, 60.0);  // target about 1.54 s
  const double target = control.target_time;
  searching(5, 20, 20);
  check_time_at(100.0 + target - 0.03);
  EXPECT_EQ(control.stop, 0);
  check_time_at(100.0 + target);
  EXPECT_EQ(control.stop, 1);
  EXPECT_NEAR(control.elapsed, target, 1e-9);

  // Nothing stops before iteration 2 is complete.
  setup(0, 60.0);
  searching(2, 20, 20);
  control.completed_depth = 1;
  check_time_at(130.0);
  EXPECT_EQ(control.stop, 0);

  // A stable best move from depth 7 on stops at 85% of the target.
  setup(0, 60.0);
  searching(8, 20, 20);
  check_time_at(100.0 + 0.86 * target);
  EXPECT_EQ(control.stop, 1);

  // Pondering only keeps the clock; "ponderhit" late stops at the next check.
  setup(0, 60.0);
  control.state = 2;
  searching(5, 20, 20);
  check_time_at(110.0);
  EXPECT_EQ(control.stop, 0);
  EXPECT_DOUBLE_EQ(control.elapsed, 10.0);
  control.state = 1;
  check_time_at(110.005);
  EXPECT_EQ(control.stop, 1);

  // Emergency: under 5 x overhead left on the clock.
  setup(0, 0.1);
  searching(3, 20, 20);
  check_time_at(100.03);
  EXPECT_EQ(control.stop, 1);

  // One legal move: stop at once; an easy move at half the target.
  setup(0, 60.0);
  searching(8, 20, 20);
  control.early_stop = 1;
  check_time_at(100.05);
  EXPECT_EQ(control.stop, 1);
  setup(0, 60.0);
  searching(13, 20, 20);
  control.best_change_depth = 12;  // keeps the 85% factor away
  control.early_stop = 2;
  check_time_at(100.0 + target / 2 - 0.01);
  EXPECT_EQ(control.stop, 0);
  check_time_at(100.0 + target / 2);
  EXPECT_EQ(control.stop, 1);

  // Analysis (console "go") is ended with an abort, not a "stop and report".
  setup(0, 60.0);
  control.state = 3;
  control.level_moves = 1;
  control.target_time = 1.0;
  searching(5, 20, 20);
  check_time_at(101.5);
  EXPECT_EQ(control.stop, 2);
  // ... but an early stop is a stop and report, even past the limit.
  for (int early : {1, 2}) {
    control.stop = 0;
    control.early_stop = static_cast<uint8_t>(early);
    check_time_at(101.5);
    EXPECT_EQ(control.stop, 1) << early;
  }
}

}  // namespace
