#include "search/search.h"

#include <cstdio>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/see.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "search/move_classify.h"
#include "search/move_order.h"
#include "search/pruning.h"
#include "search/reductions.h"
#include "search/search_threads.h"
#include "search/trans_table.h"
#include "tablebases/tbprobe.h"

namespace {

bool stopped() { return control.stop.load(std::memory_order_relaxed) != 0; }

void copy_child_line(Move* pv, const Move* child_pv, int ply) {
  if (ply + 1 >= MAX_PLY) return;
  for (int i = ply + 1; i < MAX_PLY; ++i) {
    pv[i] = child_pv[i];
    if (child_pv[i] == 0) break;
  }
}

// Diagnostic dump when the tagged position is reached: the path to it and
// the board. Cold: kept out of the node's code.
[[gnu::cold, gnu::noinline]] void trace_node(Board* board, int ply) {
  const SearchThread* thread = thread_of(board);
  print_line("ply depth alpha    beta    eval    move   pv");
  for (int i = 1; i < ply; ++i) {
    const PlyRecord& r = thread->stack[i];
    const Move m = r.cursor ? r.cursor->move : 0;
    char text[16] = "null";
    if (m != 0 && m != MOVE_END) {
      const int promo = promotion_type(m);
      const char letter = "  nbrq"[promo];
      if (!promo)
        std::snprintf(text, sizeof text, "%s%s", square_name[move_from(m)], square_name[move_to(m)]);
      else if (settings.protocol == 2)
        std::snprintf(text, sizeof text, "%s%s%c", square_name[move_from(m)], square_name[move_to(m)], letter);
      else
        std::snprintf(text, sizeof text, "%s%s=%c", square_name[move_from(m)], square_name[move_to(m)],
                      letter - 32);
    }
    print_linef("%2d. %3d  %6d  %6d  %6d  %6s   %d", i, r.depth, r.alpha, r.beta, r.eval, text, r.pv_node);
  }
  print_board(board);
  print_line("");
  print_board(board);
}

int draw_score_for(const Board* board, int side, bool in_check, int ply) {
  const int r = is_draw(board, in_check, ply < 4 ? 3 : 2);
  if (r == 1) return 0;
  if (r >= 2) return repetition_score(side, board->thread->history_count);
  return NO_SCORE - 1;  // no draw
}

bool previous_moves_null(const SearchThread* thread) {
  const int n = thread->history_count;
  return (n >= 1 && thread->history[n - 1].move == 0) || (n >= 2 && thread->history[n - 2].move == 0);
}

int reduction(Board* board, const PlyRecord& record, const MoveEntry& e, int side, int ply, int depth,
              int failed, bool pv_node) {
  const uint16_t flags = record.move_flags;
  const int from = move_from(e.move);
  const int to = move_to(e.move);
  const int row = depth < 69 ? depth : 69;
  const int column = failed < 31 ? failed : 31;
  const int table = pv_node ? lmr_pv[row][column] : lmr_nonpv[row][column];
  // A capture's exchange was played out when the picker scored it; only the
  // hash move's entry reaches here unscored.
  const bool scored = e.captured != 0 && e.score != HASH_MOVE_SCORE;
  const bool bad = coarse_value[piece_type(e.piece)] > coarse_value[piece_type(e.captured)] &&
                   (scored ? scored_as_losing(e) : !swap_at_least(board, side, from, to, occupancy(board), false, -74));
  int r;
  if (bad && flags) {
    r = (flags & FLAG_DISCOVERED) || ((flags & FLAG_CAPTURE) && (flags & FLAG_CHECK)) ? 0 : 1;
  } else if (bad) {
    r = table + 1;
  } else if (flags || e.score > 39) {
    r = 0;
  } else {
    r = table;
    const PlyRecord* stack = thread_of(board)->stack;
    if (e.score <= 20 && failed > 4 && r <= 2 && ply >= 2 && record.eval < stack[ply - 2].eval - 150)
      r += 1;
  }
  if (depth - r < 1) r = depth - 1;
  return r;
}

int extension_amount(Board* board, const MoveEntry& e, uint16_t flags, int ply, bool small_ext) {
  int amount = 0;
  if (flags & FLAG_DISCOVERED)
    amount = 16;
  else if ((flags & (FLAG_CHECK | FLAG_SEVENTH)) && see_ok(board, e.move))
    amount = 16;
  else if (flags & FLAG_CAPTURE)
    amount = ply <= 5 ? 8 : 4;
  return small_ext ? amount / 2 : amount;
}

bool late_move_pruned(Board* board, int side, const MoveEntry& e) {
  const int from = move_from(e.move);
  const int to = move_to(e.move);
  if (piece_type(e.piece) == KING && (to - from == 2 || from - to == 2)) return false;
  if (e.score <= 39 && !creates_threat(board, side, e)) return true;
  return !see_ok(board, e.move);
}

// The next move of the node's picker worth a legality test. In check, most
// moves of the last stage reach no evasion square (`targets`, see
// is_legal_in_check); the list walk passes over them itself.
MoveEntry* next_candidate(Board* board, PlyRecord& record, bool in_check, Bitboard targets) {
  if (!in_check || record.stage != STAGE_REST) return next_move(board, record, in_check);
  MoveEntry* e = record.cursor + 1;
  while (e->move != MOVE_END && !may_evade(board, e->piece, move_to(e->move), targets)) ++e;
  record.cursor = e;
  return e->move == MOVE_END ? nullptr : e;
}

}  // namespace

int repetition_score(int side, int history_count) {
  if (history_count <= 100) return control.draw_value[side];
  if (history_count > 200) return 0;
  return control.draw_value[side] / 2;
}

int search(Board* board, int side, int ply, int depth, int alpha, int beta, int pv_node, Move* pv) {
  SearchThread* thread = thread_of(board);
  // Counters that the info lines sum while the search runs are written
  // with relaxed atomics (plain moves on this hardware).
  const uint64_t nodes = relaxed_load(thread->nodes) + 1;
  relaxed_store(thread->nodes, nodes);
  if (nodes > thread->node_limit && thread->done_depth > 1) [[unlikely]] {
    control.stop = 1;
    return 0;
  }
  if (ply > thread->seldepth) relaxed_store(thread->seldepth, ply);
  PlyRecord& record = thread->stack[ply];
  // Both tables are read after the check, draw and tablebase tests below;
  // their lines are asked for now so that those tests hide the wait.
  eval_cache_prefetch(thread->eval_cache, full_key(board));
  if (depth > 0) tt_prefetch(*board);
  if (board->key == settings.tag_key) trace_node(board, ply);

  if (alpha < ply - MATE) alpha = ply - MATE;
  if (beta > MATE - 1 - ply) beta = MATE - 1 - ply;
  if (alpha >= beta) return alpha;

  record.pv_node = static_cast<uint16_t>(pv_node);
  record.alpha = static_cast<int16_t>(alpha);
  record.beta = static_cast<int16_t>(beta);
  record.in_iid = record.move_flags = 0;
  record.move_checks = CHECK_UNKNOWN;
  EvalPly& evaluated = thread->eval_ply[ply];
  evaluated.dead_draw = 0;
  evaluated.threat[0] = evaluated.threat[1] = 0;
  record.moves_searched = 0;
  record.hash_move = 0;
  record.tb_result = -1;
  if (ply + 2 < MAX_PLY) {
    PlyRecord& grandchild = thread->stack[ply + 2];
    grandchild.null_killer = grandchild.killer1 = grandchild.killer2 = grandchild.evasion_killer = 0;
  }
  pv[ply] = 0;
  if (ply + 1 < MAX_PLY) pv[ply + 1] = 0;

  const PlyRecord& parent = thread->stack[ply - 1];
  const bool in_check = parent.move_checks != CHECK_UNKNOWN ? parent.move_checks == CHECK_YES
                                                             : attacked(board, king_square(board, side), side ^ 1);

  const int draw = draw_score_for(board, side, in_check, ply);
  if (draw != NO_SCORE - 1) return draw;

  if (parent.tb_result != -1) [[unlikely]] {
    const int32_t r = static_cast<int32_t>(egtb_search_wdl(board, depth));
    record.tb_result = r;
    if (r != -1) {
      relaxed_store(thread->tbhits, relaxed_load(thread->tbhits) + 1);
      if (r > 4 - parent.tb_result) return beta;
      if (ply == 2 && control.tb_root_move != 0 && thread->last_move != control.tb_root_move &&
          board->fifty > 30)
        return beta;
    }
  } else if (egtb_few_enough_pieces(board) && board->fifty == 0 && control.tb_root_result == -1) [[unlikely]] {
    // The piece count goes first: it nearly always refuses, while a zeroed
    // clock comes and goes with every capture and pawn move.
    const int32_t r = static_cast<int32_t>(egtb_search_wdl(board, depth));
    if (r != -1) {
      relaxed_store(thread->tbhits, relaxed_load(thread->tbhits) + 1);
      const int v = r == 0 ? ply - 9800 : r == 4 ? 9799 - ply : 0;
      return v <= alpha ? alpha : v;
    }
  }

  const int eval = evaluate(thread, side, ply, in_check);
  record.eval = static_cast<int16_t>(eval);
  record.depth = static_cast<int16_t>(depth);

  if (ply > 65) return in_check ? 0 : eval;
  if (evaluated.dead_draw && !in_check) return eval;
  if (depth < 1 && !in_check) {
    // Quiescence stands pat on this same evaluation: at beta or above it
    // would return beta straight away, and the call is spared.
    if (eval >= beta) return beta;
    return quiesce(board, side, ply, depth, alpha, beta, pv_node, pv);
  }

  TTEntry entry;
  entry.score = NO_SCORE;
  tt_probe(*board, entry);
  ++thread->tt_probes;
  bool fail_low = false;
  bool fail_high = false;
  int hash_depth = -99;
  if (entry.depth >= -10) {
    ++thread->tt_hits;
    record.hash_move = entry.move;
    const int s = score_from_table(entry.score, ply);
    const int bound = entry.bound;
    hash_depth = entry.depth;
    bool raised = false;
    if (hash_depth >= depth && board->fifty + depth < 90 &&
        (!pv_node || (ply >= 12 && (s >= 9000 || s <= -9000)))) {
      if (s > alpha && bound != BOUND_UPPER) {
        alpha = s;
        if (alpha >= beta) return alpha;
        fail_low = bound != BOUND_LOWER;
        raised = true;
      } else if (s < beta && bound != BOUND_LOWER) {
        beta = s;
      }
      if (alpha >= beta) return alpha;
    }
    if (!raised) {
      fail_low = s <= alpha && bound != BOUND_LOWER;
      fail_high = s >= beta && bound != BOUND_UPPER;
    }
  }

  const SearchParams& sp = params.search;
  NodeFlags flags;
  flags.pv_node = pv_node != 0;
  flags.few = few_pieces(board->material[0], board->material[1]);
  flags.in_check = in_check;
  flags.fail_low = fail_low;
  flags.fail_high = fail_high;

  if (futility_drop(depth, eval, alpha, flags, sp.FP_depth, sp.FP_margin))
    return quiesce(board, side, ply, depth, alpha, beta, 0, pv);

  const SepVerdict sep =
      static_eval_verdict(depth, eval, beta, evaluated.threat[side], flags, sp.SEP_depth, sp.SEP_margin);
  if (sep == SEP_CUT) return beta;
  if (sep == SEP_CUT_IF_SAFE && threat_safe(board, side, eval, beta)) return beta;
  if (probcut_allowed(depth, eval, beta, flags) &&
      probcut(board, ply, depth - PROBCUT_REDUCTION, beta + PROBCUT_MARGIN))
    return beta;

  if (null_move_allowed(depth, eval, beta, flags, previous_moves_null(thread), sp.NMP_depth)) {
    const int r = null_move_reduction(depth, board->material[side]);
    MoveEntry* list = thread->list_start[ply];
    list[0].move = 0;
    list[1].move = MOVE_END;
    thread->list_start[ply + 1] = list + 2;
    record.list = record.cursor = list;
    if (make_null(board)) {
      const int v = -search(board, side ^ 1, ply + 1, null_move_child_depth(depth, r), -beta, -alpha, 0, pv);
      unmake_null(board);
      if (stopped()) return 0;
      if (v >= beta) {
        depth = null_move_continue_depth(depth);
        if (depth == 0) return beta;
      }
    }
  }

  const int iid_depth = depth >= 5 && !pv_node ? depth - 5 + (depth < 11 ? 1 : 0) : depth - 3;
  if (iid_depth >= 1 && !(hash_depth >= iid_depth && entry.move != 0) && eval >= alpha - 199) {
    record.in_iid = 1;
    const int v = search_moves(board, side, ply, iid_depth, alpha, beta, in_check, pv_node, pv);
    record.in_iid = 0;
    if (v > alpha) record.hash_move = pv[ply];
  }

  const int v = search_moves(board, side, ply, depth, alpha, beta, in_check, pv_node, pv);
  return v <= alpha ? alpha : v >= beta ? beta : v;
}

int search_moves(Board* board, int side, int ply, int depth, int alpha, int beta, bool in_check,
                 int pv_node, Move* pv) {
  SearchThread* thread = thread_of(board);
  PlyRecord& record = thread->stack[ply];
  const SearchParams& sp = params.search;
  pv[ply] = 0;
  const bool lmp_ok = depth <= sp.LMP_depth && !in_check && !record.in_iid && !pv_node;
  const bool lmr_ok = depth >= sp.LMR_depth && !in_check && ply + depth > thread->iter_depth / 2;
  const bool small_ext = !pv_node && depth >= 2;
  const int quiet_lmp_limit = sp.LMP_count * depth;
  const int alpha_start = alpha;
  int best = NO_SCORE;
  Move best_move = 0;
  int failed = 0;
  const uint8_t saved_ext = thread->ext_fraction;
  Move child_pv[MAX_PLY];
  record.moves_searched = 0;
  record.stage = STAGE_HASH;
  // Out of check the pinned pieces, in check the evasion squares, spare
  // most moves the attack test.
  const Bitboard lines = in_check ? evasion_targets(board, side) : pinned_pieces(board, side);
  CheckSquares checks;
  if (!in_check) find_check_squares(board, side, checks);

  while (MoveEntry* e = next_candidate(board, record, in_check, lines)) {
    const Move move = e->move;
    if (move == 0) continue;
    if (move == record.hash_move && record.moves_searched > 0) continue;
    const bool prune_ok = lmp_ok && best >= MATE_BAND_LOW;
    const uint16_t flags = in_check ? 0 : classify_move(board, side, *e, checks);
    // Most late quiet moves are pruned: they are spared the legality test,
    // since an illegal move is passed over all the same.
    if (prune_ok && flags == 0 && failed > quiet_lmp_limit && late_move_pruned(board, side, *e)) continue;
    if (in_check ? !is_legal_in_check(board, side, move, lines) : !is_legal_out_of_check(board, side, move, lines))
      continue;
    record.move_flags = flags;

    int r = 0;
    if (lmr_ok && best >= MATE_BAND_LOW) r = reduction(board, record, *e, side, ply, depth, failed, pv_node);
    int new_depth = depth;
    if (!in_check) {
      thread->ext_fraction += extension_amount(board, *e, record.move_flags, ply, small_ext);
      if (thread->ext_fraction > 15) {
        thread->ext_fraction -= 16;
        ++new_depth;
        r = 0;
      }
    }

    const bool quiet_move = e->captured == 0;
    const int code = e->piece;
    const int to = move_to(move);
    record.move_checks = in_check ? uint8_t{CHECK_UNKNOWN} : told_check(board, *e, flags & FLAG_CHECK);
    if (!make_move(board, move)) {
      thread->ext_fraction = saved_ext;
      continue;
    }
    int v;
    if (best == NO_SCORE || new_depth <= 1) {
      v = -search(board, side ^ 1, ply + 1, new_depth - 1, -beta, -alpha, pv_node, child_pv);
    } else {
      v = -search(board, side ^ 1, ply + 1, new_depth - r - 1, -alpha - 1, -alpha, 0, child_pv);
      if (v > alpha) {
        if (quiet_move && !in_check) history_bonus(thread, code, to);
        v = -search(board, side ^ 1, ply + 1, new_depth - 1, -beta, -alpha, pv_node, child_pv);
      }
    }
    unmake_move(board);
    thread->ext_fraction = saved_ext;
    if (stopped()) return 0;

    ++record.moves_searched;
    const bool quiet = quiet_move && !in_check;
    if (v <= alpha) {
      ++failed;
      if (quiet) history_malus(thread, code, to);
    } else if (quiet) {
      history_bonus(thread, code, to);
      if (depth >= 4 && v >= beta) {
        history_bonus(thread, code, to);
        best = v;
        best_move = move;
        pv[ply] = move;
        if (ply + 1 < MAX_PLY) pv[ply + 1] = 0;
        break;
      }
    }
    if (v > best) {
      pv[ply] = move;
      if (ply + 1 < MAX_PLY) pv[ply + 1] = 0;
      best_move = move;
      if (v > alpha) alpha = v;
      best = v;
      if (v >= beta) break;
      copy_child_line(pv, child_pv, ply);
    }
  }

  if (record.moves_searched == 0) best = in_check ? ply - MATE : control.draw_value[side];

  if (depth >= 0) {
    const int bound = best >= beta ? BOUND_LOWER : best > alpha_start ? BOUND_EXACT : BOUND_UPPER;
    tt_store(*board, best_move, score_to_table(best, ply), bound, depth);
  }
  if (best >= beta && best_move != 0 && board->squares[move_to(best_move)] == 0)
    record_cutoff(board, record, best_move, in_check);
  return best;
}

bool probcut(Board* board, int ply, int depth, int rbeta) {
  SearchThread* thread = thread_of(board);
  const int side = board->side;
  MoveEntry* list = thread->list_start[ply];
  MoveEntry* end = gen_pawn_captures(board, side, list);
  end = gen_piece_captures(board, side, end);
  end->move = MOVE_END;
  thread->list_start[ply + 1] = end + 1;
  score_moves(board, list);
  PlyRecord& record = thread->stack[ply];
  record.list = list;
  Move local_pv[MAX_PLY];
  for (MoveEntry* cursor = list; cursor->move != MOVE_END; ++cursor) {
    select_best(cursor);
    record.cursor = cursor;
    const Move move = cursor->move;
    if (move == 0 || !is_legal(board, side, move)) continue;
    if (!swap_at_least(board, side, move_from(move), move_to(move), occupancy(board), false, 100)) continue;
    if (!make_move(board, move)) continue;
    const int v = -search(board, side ^ 1, ply + 1, depth - 1, -rbeta, -rbeta + 1, 0, local_pv);
    unmake_move(board);
    if (stopped()) return false;
    if (v >= rbeta) return true;
  }
  return false;
}
