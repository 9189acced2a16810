#include "search/root.h"

#include <cmath>
#include <cstdlib>

#include "board/attacks.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "eval/evaluate.h"
#include "platform/clock.h"
#include "search/aspiration.h"
#include "search/move_classify.h"
#include "search/move_order.h"
#include "search/search.h"
#include "search/search_threads.h"
#include "search/trans_table.h"
#include "tablebases/tbprobe.h"

namespace {

bool stopped() { return control.stop.load(std::memory_order_relaxed) != 0; }
double elapsed_now() { return relaxed_load_double(control.elapsed); }

bool info_allowed() {
  const double noise = settings.noise;
  return noise != 9999.0 && (stopped() || elapsed_now() >= noise);
}

MoveEntry* root_list(SearchThread* thread) { return thread->list_start[1]; }

void set_line_to_move(SearchThread* thread, Move move) {
  relaxed_store(thread->pv_line[1], move);
  thread->pv_line[2] = 0;
}

void set_score(SearchThread* thread, int v) { relaxed_store(thread->score, v); }

// Puts back a saved best line (or clears it); the best move itself is read
// by the clock check while the search runs.
void restore_line(SearchThread* thread, const Move* saved) {
  for (int i = 0; i < MAX_PLY; ++i) {
    const Move m = saved ? saved[i] : 0;
    if (i == 1)
      relaxed_store(thread->pv_line[1], m);
    else
      thread->pv_line[i] = m;
  }
}

struct RootCount {
  int legal;   // legal moves of the position
  int listed;  // of those, the ones the search may choose ("searchmoves")
};

// The legal root moves the search may choose, in generation order, scored
// by the general scorer.
RootCount build_root_list(SearchThread* thread) {
  Board* board = &thread->board;
  MoveEntry* list = gen_all(board);
  MoveEntry* kept = list;
  int legal = 0;
  for (MoveEntry* e = list; e->move != MOVE_END; ++e) {
    if (e->move == 0 || !is_legal(board, board->side, e->move)) continue;
    ++legal;
    if (root_move_allowed(search_limits.root_moves, e->move)) *kept++ = *e;
  }
  kept->move = MOVE_END;
  thread->list_start[2] = kept + 1;
  score_moves(board, list);
  return {legal, static_cast<int>(kept - list)};
}

void progress_lines(SearchThread* thread, const MoveEntry& entry, int pv_index) {
  if (thread->number != 1 || pv_index != 0 || settings.protocol != 2) return;
  const double elapsed = elapsed_now();
  if (!(elapsed > 3.5 && elapsed > settings.noise)) return;
  const int searched = thread->stack[1].moves_searched;
  if (searched == 0) {
    lock_output();
    sum_statistics(false);
    const double nodes = static_cast<double>(control.stats.nodes);
    print_linef("info depth %d time %.0f nodes %.0f nps %.0f hashfull %.0f", control.main_depth, elapsed * 1000,
                nodes, elapsed > 0.001 ? nodes / elapsed : 0, tt_hashfull() * 1000);
    unlock_output();
  }
  if (search_limits.multipv == 1) {
    // Origin and destination alone; the info line's pv names promotions.
    lock_output();
    print_linef("info currmove %s%s currmovenumber %d", square_name[move_from(entry.move)],
                square_name[move_to(entry.move)], searched + 1);
    unlock_output();
  }
}

int root_reduction(const SearchThread* thread, int depth, int best, int prev, bool in_check) {
  const Board& board = thread->board;
  const int side = board.side;
  const bool material_mix = board.material[side] > 0 && board.bb[make_piece(PAWN, side)] != 0;
  return search_limits.multipv == 1 && depth >= 8 && thread->stack[1].moves_searched >= 6 && best >= prev - 34 &&
                 best >= MATE_BAND_LOW && !in_check && material_mix && thread->stack[1].move_flags == 0
             ? 1
             : 0;
}

void maybe_report(SearchThread* thread, bool report, int depth, int v, int bound) {
  if (report && info_allowed()) print_info(thread->number, -1, depth, v, thread->pv_line, bound);
}

// The last fail high of the root move being searched: a lower bound that a
// finished search established, with the line that search returned, so that
// a stop during the following re-search can still keep both.
struct FailHigh {
  bool held;
  int score;
  Move line[MAX_PLY];  // from index 2, ended by 0
};

void copy_line_from_ply2(Move* to, const Move* from) {
  for (int i = 2; i < MAX_PLY; ++i) {
    to[i] = from[i];
    if (from[i] == 0) break;
  }
}

void note_fail_high(SearchThread* thread, Move move, int v, const Move* child_pv, FailHigh* fail_high) {
  relaxed_store(thread->iter_state, 2);
  set_score(thread, v);
  set_line_to_move(thread, move);
  fail_high->held = true;
  fail_high->score = v;
  copy_line_from_ply2(fail_high->line, child_pv);
}

void note_fail_low(SearchThread* thread, Move move, int v, FailHigh* fail_high) {
  relaxed_store(thread->iter_state, 1);
  set_score(thread, v);
  set_line_to_move(thread, move);
  fail_high->held = false;  // a later search contradicts it
}

// The child search of a root move. The child line is cleared first: a child
// that answers without searching writes none, and an older line must not
// pass for its own.
int search_child(Board* board, int depth, int alpha, int beta, int pv_node, Move* child_pv) {
  child_pv[2] = 0;
  return -search(board, board->side, 2, depth, -beta, -alpha, pv_node, child_pv);
}

// Moves that never beat alpha keep a score that replays this iteration's
// order in the next one.
void move_to_front(MoveEntry* list, int from, int to) {
  const MoveEntry held = list[from];
  for (int i = from; i > to; --i) list[i] = list[i - 1];
  list[to] = held;
}

void select_into(MoveEntry* list, int index) {
  int best = index;
  for (int i = index + 1; list[i].move != MOVE_END; ++i)
    if (list[i].score > list[best].score) best = i;
  if (best != index) {
    const MoveEntry held = list[index];
    list[index] = list[best];
    list[best] = held;
  }
}

// A single listed move is no forced move: the interface asked how good it
// is, so only a position with one legal move stops early.
void easy_move_check(SearchThread* thread, int depth, RootCount moves) {
  relaxed_store(control.early_stop, 0);
  if (moves.legal == 1) {
    if (depth > 6) relaxed_store(control.early_stop, 1);
    return;
  }
  if (moves.listed == 1) return;
  MoveEntry* list = root_list(thread);
  select_into(list, 1);
  const int s2 = list[1].score;
  control.second_best = depth == 1 ? s2 : (s2 > control.second_best ? s2 : control.second_best);
  if (list[0].score > control.second_best + 200 && list[0].score > thread->root_eval + 225 && depth > 11 &&
      relaxed_load(control.best_change_depth) < depth - 5)
    relaxed_store(control.early_stop, 2);
}

bool helper_should_skip(int depth) {
  if (depth <= 6 || search_limits.multipv != 1 || depth >= search_limits.max_depth) return false;
  int count = 0;
  for (int t = 1; t <= search_limits.threads; ++t) {
    const SearchThread* other = search_thread(t);
    if (other && relaxed_load(other->iter_depth) >= depth) ++count;
  }
  return count >= static_cast<int>(std::lround(search_limits.threads * 0.5 + 1.0));
}

void perturb_root_scores(SearchThread* thread) {
  MoveEntry* list = root_list(thread);
  if (list[0].move == MOVE_END) return;
  for (MoveEntry* e = list + 1; e->move != MOVE_END; ++e) {
    thread->rng = thread->rng * 63 + 0x3ADE68B1u;
    e->score = static_cast<int16_t>(e->score - static_cast<int>(thread->rng % 24));
  }
}

void reset_thread_for_search(SearchThread* thread) {
  thread->ply = 1;
  thread->list_start[1] = thread->move_stack;
  thread->list_start[1]->move = MOVE_END;
  relaxed_store(thread->iter_depth, 0);
  relaxed_store(thread->iter_state, 0);
  restore_line(thread, nullptr);
  reset_move_order(thread);
  PlyRecord& root = thread->stack[1];
  root.pv_node = 1;
  root.alpha = -MATE;
  root.beta = MATE;
  root.tb_result = -1;
  root.cursor = nullptr;
  thread->stack[0].tb_result = -1;
  thread->stack[0].move_checks = CHECK_UNKNOWN;
}

}  // namespace

void search_root(SearchThread* thread, int depth, int pv_index) {
  Board* board = &thread->board;
  const int side = board->side;
  const int t = thread->number;
  thread->ext_fraction = 0;
  const bool report = t == 1 && search_limits.multipv == 1 && depth >= 4 && pv_index == 0;
  const int prev = thread->score;
  PlyRecord& root = thread->stack[1];
  root.moves_searched = 0;
  root.move_checks = CHECK_UNKNOWN;
  root.depth = static_cast<int16_t>(depth);
  const int w = aspiration_width(depth, prev);
  const Window first = aspiration_window(depth, prev);
  const bool in_check = attacked(board, king_square(board, side), side ^ 1);
  CheckSquares checks;
  find_check_squares(board, side, checks);
  int best = NO_SCORE;
  MoveEntry* list = root_list(thread);
  Move child_pv[MAX_PLY];
  Move saved_line[MAX_PLY];
  FailHigh fail_high;

  for (int index = pv_index; list[index].move != MOVE_END; ++index) {
    if (t >= 2 && depth < relaxed_load(control.main_completed) && elapsed_now() >= 0.025) {
      relaxed_store(thread->iter_state, 99);
      return;
    }
    select_into(list, index);
    MoveEntry& entry = list[index];
    const Move move = entry.move;
    for (int i = 0; i < MAX_PLY; ++i) saved_line[i] = thread->pv_line[i];
    const int saved_score = thread->score;
    root.cursor = &entry;
    relaxed_store(thread->iter_state, 0);
    progress_lines(thread, entry, pv_index);
    entry.score = static_cast<int16_t>(-11000 - root.moves_searched);
    root.move_flags = in_check ? 0 : classify_move(board, side, entry, checks);
    const int r = root_reduction(thread, depth, best, prev, in_check);
    fail_high.held = false;
    make_move(board, move);
    int v;
    int lo;
    if (root.moves_searched > 0 && depth >= 3) {
      lo = best;
      const Window test = null_window(best);
      v = search_child(board, depth - r - 1, test.lo, test.hi, 0, child_pv);
      if (v > best && !stopped()) {
        note_fail_high(thread, move, v, child_pv, &fail_high);
        int step = 1;
        int hi = best + 1;
        for (;;) {
          step = widen_step(step);
          hi = open_upper(hi + step);
          v = search_child(board, depth - 1, best, hi, 1, child_pv);
          if (v < hi || stopped()) break;
          note_fail_high(thread, move, v, child_pv, &fail_high);
          maybe_report(thread, report, depth, v, BOUND_LOWER);
        }
      }
    } else {
      Window window = first;
      int step = w;
      v = search_child(board, depth - 1, window.lo, window.hi, 1, child_pv);
      while ((v <= window.lo || v >= window.hi) && !stopped()) {
        step = widen_step(step);
        const bool high = v > window.lo;
        if (high)
          note_fail_high(thread, move, v, child_pv, &fail_high);
        else
          note_fail_low(thread, move, v, &fail_high);
        maybe_report(thread, report, depth, v, high ? BOUND_LOWER : BOUND_UPPER);
        window = widen_window(window, v, step, report);
        v = search_child(board, depth - 1, window.lo, window.hi, 1, child_pv);
      }
      lo = window.lo;
    }
    unmake_move(board);
    relaxed_store(thread->iter_state, 0);

    int bound = BOUND_EXACT;
    if (stopped()) {
      // A move interrupted after failing high clearly above the best keeps
      // the bound and line of its last finished search; anything else is
      // discarded.
      if (t == 1 && best > NO_SCORE && fail_high.held && fail_high.score > best + 25) {
        v = fail_high.score;
        copy_line_from_ply2(child_pv, fail_high.line);
        bound = BOUND_LOWER;
      } else {
        restore_line(thread, saved_line);
        set_score(thread, saved_score);
        ++root.moves_searched;
        return;
      }
    }
    restore_line(thread, saved_line);
    set_score(thread, saved_score);
    ++root.moves_searched;
    if (v > lo) entry.score = static_cast<int16_t>(v);
    if (v > best) {
      set_score(thread, v);
      thread->done_depth = static_cast<uint8_t>(depth);
      copy_line_from_ply2(thread->pv_line, child_pv);
      relaxed_store(thread->pv_line[1], move);
      if (thread->score_at_depth[depth] < v) {
        relaxed_store(thread->score_at_depth[depth], v);
        if (t == 1) publish_result(thread, bound);
      }
      move_to_front(list, index, pv_index);
      best = v;
      if (stopped()) return;
    }
  }
}

void think(int t) {
  SearchThread* thread = search_thread(t);
  Board* board = &thread->board;
  const int side = board->side;
  const bool main_thread = t == 1;
  reset_thread_for_search(thread);

  const bool in_check = attacked(board, king_square(board, side), side ^ 1);
  const int root_eval = evaluate(thread, side, 1, in_check);
  thread->root_eval = static_cast<int16_t>(root_eval);
  set_score(thread, root_eval);
  thread->stack[1].eval = static_cast<int16_t>(root_eval);
  thread->stack[0].eval = static_cast<int16_t>(-root_eval);
  if (search_limits.max_depth < 1) return;

  if (const int over = game_over(board, in_check)) {
    set_score(thread, over == 1 ? -9999 : 0);
    relaxed_store(thread->iter_depth, 1);
    relaxed_store(thread->seldepth, 1);
    thread->done_depth = 1;
    if (main_thread) publish_result(thread, BOUND_EXACT);
    control.stop = 3;
    return;
  }
  const RootCount root_moves = build_root_list(thread);

  if (!main_thread) {
    // Helpers start once the main thread is iterating, so they find its
    // root tablebase verdict and share its first table entries.
    const SearchThread* main = search_thread(1);
    while (__atomic_load_n(&main->iter_depth, __ATOMIC_ACQUIRE) == 0) {
      if (stopped()) return;
      sleep_ms(1);
    }
    if (control.tb_root_result != -1) return;
  } else {
    egtb_probe_search_root(board, thread->history_count, search_limits.root_moves);
  }
  thread->stack[1].tb_result = control.tb_root_result;

  const int max_depth = search_limits.max_depth;
  for (int d = 1; d < 69; ++d) {
    bool end_report;
    if (main_thread) {
      relaxed_store(control.main_depth, d);
      end_report = d == 1 || search_limits.multipv > 1;
    } else {
      if (helper_should_skip(d)) ++d;
      perturb_root_scores(thread);
      end_report = false;
    }
    // Release: helpers waiting for the first iteration then also see the
    // root tablebase verdict published before it.
    __atomic_store_n(&thread->iter_depth, static_cast<uint8_t>(d), __ATOMIC_RELEASE);
    thread->nodes_at_depth[d] = 0;
    relaxed_store(thread->score_at_depth[d], NO_SCORE);

    MoveEntry* list = root_list(thread);
    for (int i = 0; i < search_limits.multipv && i < root_moves.listed && list[i].move != MOVE_END; ++i) {
      search_root(thread, d, i);
      if (stopped()) break;
      if (end_report && info_allowed() && thread->pv_line[1] != 0)
        print_info(t, i, d, thread->score, thread->pv_line, BOUND_EXACT);
    }
    if (search_limits.multipv > 1 && main_thread && settings.protocol != 2) print_line("");
    thread->nodes_at_depth[d] = thread->nodes;
    // A mate search ends by its mate, its limits or "stop", never early.
    if (main_thread && search_limits.multipv == 1 && search_limits.mate_limit == 0)
      easy_move_check(thread, d, root_moves);
    if (stopped()) break;
    if (relaxed_load(thread->iter_state) != 99) {
      if (main_thread) {
        relaxed_store_double(control.main_completed_time, elapsed_now());
        relaxed_store(control.main_completed, d);
      }
      // A mate within the iteration's depth ends the search, unless the
      // search looks for a shorter mate than the one found.
      const int s = thread->score_at_depth[d];
      if ((s >= 9999 - d && search_limits.mate_limit == 0) || s < d - 9999) break;
      if (d >= max_depth) break;
    }
  }
  if (main_thread && !stopped()) control.stop = 1;
}
