// The search as the main loop sees it. The main thread never searches: it
// prepares a search, wakes the workers, and reports once they are all idle.
#include "frontend/search_session.h"

#include <cmath>
#include <cstdio>

#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "book/book_choice.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "platform/clock.h"
#include "search/game_position.h"
#include "search/mate_limit.h"
#include "search/reductions.h"
#include "search/root.h"
#include "search/search_threads.h"
#include "search/time_control.h"
#include "search/trans_table.h"
#include "tablebases/tbprobe.h"

namespace {

bool hold_until_stop = false;  // a "go infinite" result waits for "stop"
bool hold_requested = false;
bool hold_until_mate = false;  // a "go mate" result waits for its mate or "stop"
bool mate_hold_requested = false;
bool self_play = false;
bool book_move_flag = false;  // the current search's move came from the book

// Ends any running search and waits until every worker is idle.
void abort_and_wait() {
  if (busy_threads() == 0) return;
  control.stop = 2;
  while (busy_threads() != 0) sleep_ms(1);
}

// A search stopped before its first root move finished, or held to depth 0,
// has no published move; the first legal move it may choose is better than
// no move at all.
void ensure_best_move() {
  if (best_move() != 0 || control.stop == 3) return;
  SearchThread* master = game_thread();
  Board* board = game_board();
  MoveEntry* list = master->move_stack;
  gen_full_list(board, board->side, list);
  for (const MoveEntry* e = list; e->move != MOVE_END; ++e) {
    if (e->move == 0 || !root_move_allowed(search_limits.root_moves, e->move)) continue;
    if (is_legal(board, board->side, e->move)) {
      control.pv[1] = e->move;
      control.pv[2] = 0;
      return;
    }
  }
}

double branching_factor() {
  const int d = control.main_completed;
  const SearchThread* main_thread = search_thread(1);
  if (d > 5 && main_thread && main_thread->nodes_at_depth[d] && main_thread->nodes_at_depth[d - 4])
    return std::pow(static_cast<double>(main_thread->nodes_at_depth[d]) /
                        static_cast<double>(main_thread->nodes_at_depth[d - 4]),
                    0.25);
  return 2.0;
}

void print_console_summary() {
  const double fill = tt_hashfull();
  control.stats.hash_fill = fill;
  char move[MOVE_TEXT_SIZE];
  move_text(best_move(), move);
  const SearchStats& s = control.stats;
  const double elapsed = control.elapsed;
  print_linef("move= %s, time= %0.3f, score= %d, nodes= %0.0f, nps= %0.0fK ebf= %0.2f", move, elapsed,
              control.best_score, static_cast<double>(s.nodes), s.nodes / (elapsed + 0.001) / 1000,
              branching_factor());
  print_linef("Hash fill= %.1f%%, Hash hits: main= %0.1f%%, pawn= %0.1f%%, eval= %0.1f%%, TB=%0.0fK", fill * 100,
              s.tt_hits * 100.0 / (s.tt_probes + 1), s.pawn_hits * 100.0 / (s.pawn_probes + 1),
              s.eval_hits * 100.0 / (s.eval_probes + 1), s.tbhits / 1000.0);
  const int32_t* c = control.debug_counters;
  if (c[0] || c[1] || c[2] || c[3])
    print_linef("ncnt1= %d, ncnt2= %d, ncnt3= %d, ncnt4= %d", c[0], c[1], c[2], c[3]);
  print_line("");
}

void print_best_move_line() {
  char move[MOVE_TEXT_SIZE];
  char ponder[MOVE_TEXT_SIZE];
  move_text(best_move(), move);
  if (ponder_move() != 0 && !book_move_played()) {
    move_text(ponder_move(), ponder);
    print_linef("bestmove %s ponder %s", move, ponder);
  } else {
    print_linef("bestmove %s", move);
  }
}

void continue_self_play() {
  const int side = control.root_side;
  control.clock[side] = control.clock[side] - control.elapsed + control.increment;
  if (best_move() == 0 || !play_game_move(best_move())) {
    self_play = false;
    return;
  }
  print_board(game_board());
  control.start_request = 1;
}

// A book move is answered at once: the search is marked stopped and no
// search thread is woken.
void probe_book() {
  if (!control.own_book || game_thread()->history_count > control.book_depth) return;
  book_choose(game_board(), false, &search_limits.root_moves);
  if (best_move() == 0) return;
  book_move_flag = true;
  print_line(settings.protocol == 2 ? "info string book move" : "book move");
  control.best_score = 0;
  control.stop = 1;
}

}  // namespace

bool book_move_played() { return book_move_flag; }

void request_hold_until_stop(bool hold) { hold_requested = hold; }

void request_hold_until_mate(bool hold) { mate_hold_requested = hold; }

bool search_held() { return hold_until_stop || (hold_until_mate && !mate_limit_reached(control.best_score)); }

bool search_open_ended() {
  return control.state == 2 || hold_until_stop || hold_until_mate ||
         (control.state == 3 && control.max_depth >= MAX_PV);
}

void end_search_now() {
  hold_until_stop = hold_until_mate = false;
  if (control.state == 0) return;
  control.stop = 1;
  control.state = 1;
}

void set_self_play(bool on) { self_play = on; }

void begin_search() {
  start_search_clock();
  book_move_flag = false;
  hold_until_stop = hold_requested;
  hold_until_mate = mate_hold_requested;
  hold_requested = mate_hold_requested = false;
  prepare_search();
  probe_book();
  const bool skip = game_board()->fifty > 100 || best_move() != 0 || control.threads == 0;
  if (!skip) wake_threads();
  control.start_request = 0;
}

void finish_search() {
  hold_until_stop = hold_until_mate = false;
  control.elapsed = monotonic_seconds() - search_start_time();
  ensure_best_move();
  lock_output();
  sum_statistics();
  unlock_output();
  if ((control.stop || control.elapsed >= settings.noise) && control.completed_depth != 0 &&
      settings.noise != 9999.0 && best_move() != 0)
    print_info(1, 0, control.completed_depth, control.best_score, control.pv, control.best_bound);
  if (settings.protocol == 2)
    print_best_move_line();
  else
    print_console_summary();
  if (self_play) continue_self_play();
}

bool any_search_busy() { return busy_threads() != 0; }

bool start_search_threads() { return start_threads(control.threads) == 0; }

void stop_search_threads() { stop_threads(control.threads); }

void build_search_tables() { build_reduction_tables(); }

void release_hash_table() { tt_free(); }

bool resize_hash_table() {
  abort_and_wait();
  return tt_allocate() == 0;
}

bool change_thread_count(int count) {
  abort_and_wait();
  stop_threads(control.threads);
  control.threads = static_cast<uint8_t>(count);
  return start_threads(count) == 0;
}

void clear_hash_table() {
  abort_and_wait();
  tt_clear();
}

void reload_tablebases() {
  abort_and_wait();
  egtb_setup(control.syzygy_path);
}
