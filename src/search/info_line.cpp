#include <cstdio>
#include <cstring>

#include "board/notation.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "search/mate_limit.h"
#include "search/root.h"
#include "search/search_threads.h"
#include "search/trans_table.h"

int shown_score(int score, int tb_root_result) {
  if (tb_root_result == 4 && score < 9899) return 9800;
  if (tb_root_result == 2) return 0;
  if (tb_root_result == 0 && score > -9900) return -9800;
  return score;
}

// A side mated at ply p (the root is ply 1) has made (p - 1) / 2 moves of
// its own; UCI's "mate -N" counts those, as "mate N" counts the winner's
// moves up to the mate.
void score_text(int score, char* out, int size) {
  if (score > 9899)
    std::snprintf(out, size, "mate %d", (10000 - score) / 2);
  else if (score < -9900)
    std::snprintf(out, size, "mate -%d", (score + 9999) / 2);
  else
    std::snprintf(out, size, "cp %d", score);
}

namespace {

// The line's moves as text; in the console a break and 30 spaces go before
// the 9th, 17th and 25th move.
void line_text(const Move* line, bool console, int max_moves, char* out, int size) {
  int length = 0;
  out[0] = 0;
  for (int i = 1; i <= 66 && i <= max_moves && line[i] != 0; ++i) {
    char move[MOVE_TEXT_SIZE];
    move_text(line[i], move);
    const bool wrap = console && (i == 9 || i == 17 || i == 25);
    const int written = std::snprintf(out + length, size - length, "%s%s%s", i > 1 && !wrap ? " " : "",
                                      wrap ? "\n                              " : "", move);
    if (written < 0 || written >= size - length) break;
    length += written;
  }
}

}  // namespace

void print_info(int t, int pv_index, int depth, int score, const Move* line, int bound) {
  lock_output();
  sum_statistics(false);
  const double elapsed = relaxed_load_double(control.elapsed);
  const double nodes = static_cast<double>(control.stats.nodes);
  const double nps = elapsed > 0.001 ? nodes / elapsed : 0;
  const int shown = shown_score(score, control.tb_root_result);
  const char mark = pv_index >= 0 ? '.' : ' ';
  char text[1200];
  if (settings.protocol == 2) {
    line_text(line, false, 66, text, sizeof text);
    char multipv[24] = "";
    char extra[16] = "";
    char score_word[32];
    if (search_limits.multipv > 1) std::snprintf(multipv, sizeof multipv, "multipv %d ", pv_index + 1);
    if (uci_extra) std::snprintf(extra, sizeof extra, "[%02d%c] ", t, mark);
    score_text(shown, score_word, sizeof score_word);
    const char* bound_word = bound == BOUND_LOWER ? " lowerbound" : bound == BOUND_UPPER ? " upperbound" : "";
    const SearchThread* main_thread = search_thread(1);
    const int seldepth = main_thread ? relaxed_load(main_thread->seldepth) - 1 : 0;
    print_linef("info %s%sdepth %d seldepth %d time %.0f score %s%s nodes %.0f nps %.0f tbhits %.0f pv %s",
                multipv, extra, depth, seldepth, elapsed * 1000, score_word, bound_word, nodes, nps,
                static_cast<double>(control.stats.tbhits), text);
  } else {
    line_text(line, true, control.stop ? 32 : 8, text, sizeof text);
    print_linef("%02d] %02d%c %5.1f %7.0fK %5d  %s", t, depth, mark, elapsed, nodes / 1000, shown, text);
  }
  unlock_output();
}

void publish_result(SearchThread* thread, int bound) {
  lock_result();
  const int s = thread->score;
  const int d = thread->done_depth;
  const int best_score = control.best_score;
  const int completed = control.completed_depth;
  const bool accept = (s >= 9900 && s >= best_score) || (d > completed && best_score <= 9898) ||
                      (d == completed && s > best_score);
  if (!accept) {
    unlock_result();
    return;
  }
  if (thread->pv_line[1] != control.pv[1]) relaxed_store(control.best_change_depth, d);
  for (int i = 2; i < MAX_PLY; ++i) {
    control.pv[i] = thread->pv_line[i];
    if (thread->pv_line[i] == 0) break;
  }
  relaxed_store(control.pv[1], thread->pv_line[1]);
  relaxed_store(control.best_score, s);
  control.best_bound = static_cast<uint8_t>(bound);
  relaxed_store(control.completed_depth, d);
  control.score_by_depth[d] = static_cast<int16_t>(s);
  control.move_by_depth[d] = thread->pv_line[1];
  unlock_result();
  if (mate_limit_reached(s)) control.stop = 1;
  const double noise = settings.noise;
  if (d > 1 && search_limits.multipv == 1 && (control.stop || relaxed_load_double(control.elapsed) >= noise) &&
      noise != 9999.0 && thread->pv_line[1] != 0)
    print_info(thread->number, -1, d, s, thread->pv_line, bound);
}
