#include "search/time_control.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "board/board.h"
#include "board/fen.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "eval/params.h"
#include "platform/clock.h"
#include "search/game_position.h"
#include "search/search_threads.h"
#include "search/trans_table.h"

namespace {

double search_start = 0.0;

void reset_shared_result() {
  control.stop = 0;
  control.pv[1] = 0;
  control.pv[2] = 0;
  control.best_score = -10000;
  control.best_bound = BOUND_EXACT;
  control.completed_depth = 0;
  control.main_depth = 0;
  control.main_completed = 0;
  control.main_completed_time = 0;
  for (int& counter : control.debug_counters) counter = 0;
  control.best_change_depth = 0;
  control.early_stop = 0;
  control.second_best = -10000;
  for (int d = 0; d < 70; ++d) {
    control.score_by_depth[d] = -10000;
    control.move_by_depth[d] = 0;
  }
}

void trace_budget() {
  if (settings.noise == 9999.0) return;
  Board& master = *game_board();
  char fen[96];
  board_to_fen(&master, fen);
  const int plies = master.thread->history_count;
  if (settings.protocol == 2) {
    char line[160];
    std::snprintf(line, sizeof line, "info string fen %s", fen);
    print_log_only(line);
    std::snprintf(line, sizeof line, "info string ply= %d, trg_time= %0.3f sec", plies, control.target_time);
    print_log_only(line);
  } else {
    print_linef("fen %s", fen);
    print_linef("Ply= %d, Clock= %0.2fs  Target time= %0.2fs", plies,
                control.clock[control.root_side], control.target_time);
  }
}

// Urgency in percent: how much of the remaining clock a troubled search may
// borrow on top of its target.
int urgency(int depth, int previous_score) {
  const int a = std::abs(previous_score);
  const int margin = a > 799 ? 65 : a / 16 + 15;
  int u = 0;
  for (int t = 1; t <= control.threads; ++t) {
    const SearchThread* thread = search_thread(t);
    if (!thread || relaxed_load(thread->iter_depth) < depth) continue;
    const int score = relaxed_load(thread->score);
    const int state = relaxed_load(thread->iter_state);
    const int best = relaxed_load(control.best_score);
    if (relaxed_load(thread->pv_line[1]) == relaxed_load(control.pv[1])) {
      if (score < best && state == 1) u = 20;
    } else if (score > best) {
      if (state == 2 && u < 2) u = 2;
      if (score > best + 20 && u < 12) u = 12;
    }
  }
  const int best_score = relaxed_load(control.best_score);
  if (best_score < previous_score - 4 * margin)
    u = 20;
  else if (best_score < previous_score - 2 * margin) {
    if (u < 8) u = 8;
  } else if (best_score < previous_score - margin) {
    if (u < 4) u = 4;
  }
  if (depth > 6 && relaxed_load(control.best_change_depth) >= depth - 1 && u < 1) u = 1;
  return u;
}

void request_stop() {
  if (relaxed_load(control.completed_depth) <= 1) return;
  control.stop = control.state == 1 ? 1 : 2;
}

}  // namespace

void start_search_clock_at(double now) {
  search_start = now;
  relaxed_store_double(control.elapsed, 0.0);
}

double search_start_time() { return search_start; }

void start_search_clock() { start_search_clock_at(monotonic_seconds()); }

void compute_target_time() {
  const int s = control.root_side;
  const int h = game_board()->thread->history_count;
  const double clock = control.clock[s];
  if (control.level_moves == 1) {
    control.target_time = control.level_time;
    control.clock[s] = control.level_time;
    return;
  }
  int divisor;
  bool many_moves_left = true;
  if (control.level_moves == 0) {
    if (h > 29) {
      divisor = 25;
      control.moves_to_go = 24;
    } else {
      control.moves_to_go = static_cast<int16_t>(38 - h / 2);
      divisor = control.moves_to_go + 1;
    }
  } else {
    if (settings.protocol != 2)
      control.moves_to_go = static_cast<int16_t>(control.level_moves - ((h / 2) % control.level_moves));
    divisor = control.moves_to_go + 1;
    many_moves_left = control.moves_to_go > 2;
  }
  // A zero or negative "movestogo" must not divide by zero.
  if (divisor < 1) divisor = 1;
  double target = clock / divisor;
  if (control.ponder && many_moves_left) target *= 1.3;
  if (control.increment > 0 && clock > 4 * control.overhead)
    target += control.increment * clock / (2 * control.increment + clock);
  const double cap = 0.65 * clock - 4 * control.overhead;
  if (target > cap) target = cap;
  if (target < 0.002) target = 0.002;
  control.target_time = target;
}

void prepare_search() {
  reset_shared_result();
  Board& master = *game_board();
  control.root_side = master.side;
  const int contempt = params.search.draw_score;
  control.draw_value[master.side] = static_cast<int16_t>(contempt);
  control.draw_value[master.side ^ 1] = static_cast<int16_t>(-contempt);
  control.hash_age = static_cast<int16_t>(master.thread->history_count + 1);
  if (control.hash_mb < 1) control.hash_mode = 0;
  control.state = control.start_request;
  compute_target_time();
  reset_thread_blocks();
  trace_budget();
}

void check_time_at(double now) {
  const double elapsed = now - search_start;
  relaxed_store_double(control.elapsed, elapsed);
  if (control.stop || control.state == 2 || relaxed_load(control.completed_depth) <= 1 || elapsed < 0.02)
    return;
  const SearchThread* main_thread = search_thread(1);
  if (!main_thread) return;
  const int d = relaxed_load(main_thread->iter_depth);
  const int previous = d >= 1 ? relaxed_load(main_thread->score_at_depth[d - 1]) : relaxed_load(control.best_score);
  const int u = urgency(d, previous);
  const int s = control.root_side;
  double remaining = control.clock[s] - elapsed;
  if (remaining < 0) remaining = 0;
  const double factor = (u == 0 && d > 6 && d - 3 > relaxed_load(control.best_change_depth)) ? 0.85 : 1.0;
  const double limit = factor * control.target_time + (u / 100.0) * remaining;
  const int early = relaxed_load(control.early_stop);
  if (early == 1) {
    control.stop = 1;
    return;
  }
  if (early == 2 && elapsed >= control.target_time / 2) {
    control.stop = 1;
    return;
  }
  if (control.level_moves == 1) {
    if (elapsed >= limit) request_stop();
  } else if (elapsed >= limit - control.overhead || remaining < 5 * control.overhead) {
    request_stop();
  }
}

void check_time() { check_time_at(monotonic_seconds()); }
