#include "tools/epd_analysis.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "board/fen.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "eval/params.h"
#include "search/game_position.h"
#include "search/reductions.h"
#include "search/root.h"
#include "search/search_threads.h"
#include "search/time_control.h"
#include "search/trans_table.h"
#include "tools/epd_fields.h"
#include "tools/pgn_reader.h"
#include "tools/tool_search.h"

namespace {

struct EpdTotals {
  int count;
  int correct;
  uint64_t nodes;
  double time;
  long depth_sum;
  double bf_sum;
  double error_sum;
  int xcnt;
};

Move expected_move(const char* line) {
  char word[EPD_LINE_MAX + 2];
  epd_bm_word(line, word, EPD_LINE_MAX);
  Move move = 0;
  if (word[0] == 0 || !parse_move(word, &move)) return 0;
  return move;
}

double branching_factor() {
  int d = control.main_completed;
  const SearchThread* main = search_thread(1);
  if (d > 5 && main && main->nodes_at_depth[d] && main->nodes_at_depth[d - 4]) {
    return std::pow(static_cast<double>(main->nodes_at_depth[d]) / main->nodes_at_depth[d - 4],
                    0.25);
  }
  return 2.0;
}

// Searches the game position under the current limits; returns the root's
// static evaluation so the caller can tell quiet positions. last_poll holds
// the running node total at the last input poll of the shallow searches.
int search_record(const EpdTotals& t, uint64_t* last_poll) {
  tool_prepare_search();
  if (control.max_depth < 6) {
    tool_search_here();
    control.best_score = search_thread(1)->score;
    sum_statistics();
    uint64_t total = t.nodes + control.stats.nodes;
    if (total > *last_poll + 50000) {
      *last_poll = total;
      check_time();
      tool_poll_input();
    }
  } else {
    tool_search_on_workers(true);
    sum_statistics();
  }
  check_time();
  return search_thread(1)->root_eval;
}

void print_record_result() {
  int depth = control.completed_depth;
  Move best = best_move();
  if ((control.stop != 0 || control.elapsed >= settings.noise) && depth && best) {
    print_info(0, 0, depth, control.best_score, control.pv, control.best_bound);
  }
  char text[MOVE_TEXT_SIZE];
  move_text(best, text);
  double nodes = static_cast<double>(control.stats.nodes);
  print_linef("move= %s, time= %0.3f, score= %d, nodes= %0.0f, %0.0fK nps", text, control.elapsed,
              control.best_score, nodes, nodes / (control.elapsed + 0.001) * 0.001);
}

void print_summary(const EpdTotals& t, double average_error) {
  int count = t.count;
  print_linef("%d / %d correct best moves", t.correct, count);
  print_linef("total nodes= %0.0f", static_cast<double>(t.nodes));
  print_linef("total time= %0.2f seconds", t.time);
  print_linef("avg depth= %0.1f", count ? static_cast<double>(t.depth_sum) / count : 0.0);
  print_linef("avg nodes= %0.1f", count ? static_cast<double>(t.nodes / count) : 0.0);
  print_linef("node_rate= %0.0f", t.nodes / (t.time + 0.01));
  print_linef("avg bf= %0.2f", count ? t.bf_sum / count : 0.0);
  print_linef("avg error= %0.5f", average_error);
  print_linef("xcnt= %d", t.xcnt);
  print_line("");
}

// One record: set-up, search, statistics. False when the record holds no
// position to play from (position_check.h); it is then not counted.
bool analyse_record(const char* line, FILE* unsolved, EpdTotals& t, uint64_t* last_poll) {
  Board* board = game_board();
  if (set_game_position(line)) return false;
  t.count++;
  Move expected = 0;
  if (control.max_depth > 0) {
    expected = expected_move(line);
    if (control.max_depth > 1) tt_clear();
  }
  bool loud = settings.noise != 9999.0;
  if (loud) {
    print_linef("pos= %d", t.count);
    print_line(line);
    print_board(board);
  }
  int ce = epd_centipawns(line);
  double result = epd_result(line);
  int root_eval = search_record(t, last_poll);

  t.nodes += control.stats.nodes;
  t.time += control.elapsed;
  t.depth_sum += control.completed_depth;
  t.bf_sum += branching_factor();
  if (expected && best_move() == expected) {
    t.correct++;
  } else if (expected && unsolved) {
    std::fprintf(unsolved, "%s\n", line);
  }
  if (loud) print_record_result();
  double error = 0;
  if (epd_record_error(control.best_score, root_eval, ce, result, tune_result_flip, &error)) {
    t.xcnt++;
    t.error_sum += error;
  }
  return true;
}

}  // namespace

namespace {

double run_analysis(uint32_t phase, bool report) {
  FILE* input = std::fopen(settings.epd_file, "r");
  if (!input) return 1.0;
  FILE* unsolved = nullptr;
  if (control.max_depth > 0) {
    unsolved = std::fopen(UNSOLVED_FILE, "w");
    if (!unsolved) {
      std::fclose(input);
      return 1.0;
    }
  }
  if (report) print_linef("Analyzing %s...", settings.epd_file);
  if (control.max_depth < 2) control.hash_mode = 0;
  init_eval_tables();
  build_reduction_tables();

  EpdTotals totals{};
  PhaseSelector selector = phase_selector(phase);
  uint64_t last_poll = 0;
  char line[EPD_LINE_MAX + 2];
  while (!settings.quit && read_text_line(input, line, EPD_LINE_MAX + 1)) {
    if (!epd_line_usable(line)) continue;
    if (phase != 0 && !phase_take(selector)) continue;
    analyse_record(line, unsolved, totals, &last_poll);
  }
  double average = totals.xcnt ? totals.error_sum / totals.xcnt : 0.0;
  if (report) print_summary(totals, average);
  std::fclose(input);
  if (unsolved) std::fclose(unsolved);
  return average;
}

}  // namespace

double analyze_epd(uint32_t phase) { return run_analysis(phase, phase == 0); }

double epd_error_all_records() { return run_analysis(0, false); }
