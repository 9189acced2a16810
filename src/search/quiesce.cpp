#include "board/attacks.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/see.h"
#include "eval/evaluate.h"
#include "search/move_classify.h"
#include "search/move_order.h"
#include "search/search.h"
#include "search/search_thread.h"

namespace {

constexpr int DELTA_VALUE[7] = {0, 100, 330, 330, 530, 1060, 10000};
constexpr int MATERIAL_POINTS[7] = {0, 0, 3, 3, 5, 10, 0};

enum : uint16_t { Q_START = 0, Q_CAPTURES = 3, Q_CAPTURES_DONE = 4, Q_CHECKS = 7 };

// Capturing the opponent's last pawn into an ending it can no longer win
// (or into one we win) is worth searching whatever the delta test says.
bool last_pawn_exempt(const Board* board, int side, int captured_type) {
  if (captured_type < 1) return false;
  const int opponent = side ^ 1;
  int pawns = popcount(board->bb[make_piece(PAWN, opponent)]);
  int rest = board->material[opponent];
  if (captured_type == PAWN)
    --pawns;
  else
    rest -= MATERIAL_POINTS[captured_type];
  return pawns == 0 && rest - board->material[side] <= 3;
}

// Most captures pass the delta test: the exemptions are looked at only for
// those that fail it.
bool delta_pruned(const Board* board, int side, const MoveEntry& e, int stand, int alpha, int margin) {
  const int captured_type = piece_type(e.captured);
  if (DELTA_VALUE[captured_type] + stand > alpha - margin) return false;
  if (piece_type(e.piece) == PAWN) {
    const int to = move_to(e.move);
    const int rank = side == WHITE ? rank_of(to) : 7 - rank_of(to);
    if (rank >= 6) return false;
  }
  return !last_pawn_exempt(board, side, captured_type);
}

}  // namespace

int quiesce(Board* board, int side, int ply, int depth, int alpha, int beta, int pv_node, Move* pv) {
  SearchThread* thread = thread_of(board);
  PlyRecord& record = thread->stack[ply];
  const int stand = record.eval;
  if (stand >= beta) return beta;
  if (stand > alpha) alpha = stand;
  const int margin = pv_node || depth > 0 ? 250 : 150;
  const Move last = thread->last_move;
  const int recapture_square = last != 0 ? move_to(last) : -1;
  Move child_pv[MAX_PLY];

  MoveEntry* list = thread->list_start[ply];
  MoveEntry* end = gen_pawn_captures(board, side, list);
  end = gen_piece_captures(board, side, end);
  end = gen_promotions(board, side, false, end);
  end->move = MOVE_END;
  thread->list_start[ply + 1] = end + 1;
  for (MoveEntry* e = list; e != end; ++e)
    e->score = static_cast<int16_t>(victim_value[e->captured] - piece_type(e->piece) +
                                    (move_to(e->move) == recapture_square ? 7 : 0));
  record.list = list;
  record.cursor = list;
  record.stage = list == end ? Q_CAPTURES_DONE : Q_CAPTURES;
  // Never entered in check: the search answers checks with a full node.
  const Bitboard lines = king_lines(board, side);
  // Worked out for the first move tried: many nodes try none.
  CheckSquares checks;
  bool checks_found = false;

  for (;;) {
    MoveEntry* e = nullptr;
    if (record.stage == Q_CAPTURES) {
      MoveEntry* cursor = record.cursor;
      if (cursor->move == MOVE_END) {
        record.stage = Q_CAPTURES_DONE;
        continue;
      }
      e = select_best(cursor);
      record.cursor = cursor + 1;
      // Deep in the tail only recaptures are worth their cost.
      if (depth < -4 && move_to(e->move) != recapture_square) continue;
    } else if (record.stage == Q_CAPTURES_DONE) {
      if (depth < 0) return alpha;
      MoveEntry* checks_end = gen_quiet_checks(board, side, list);
      if (checks_end == list) return alpha;
      checks_end->move = MOVE_END;
      thread->list_start[ply + 1] = checks_end + 1;
      record.cursor = list;
      record.stage = Q_CHECKS;
      continue;
    } else {
      if (record.cursor->move == MOVE_END) return alpha;
      e = record.cursor;
      record.cursor = e + 1;
    }

    const Move move = e->move;
    if (!checks_found) {
      find_check_squares(board, side, checks);
      checks_found = true;
    }
    const int c = gives_check(board, side, *e, checks);
    if (c == 0 && delta_pruned(board, side, *e, stand, alpha, margin)) continue;
    if (depth <= 1 && c != 2 && coarse_value[piece_type(e->piece)] > coarse_value[piece_type(e->captured)] &&
        !swap_at_least(board, side, move_from(move), move_to(move), occupancy(board), false, -74))
      continue;
    if (move == 0 || !is_legal_out_of_check(board, side, move, lines)) continue;
    // The trace reads the move being searched from the cursor.
    MoveEntry* held_cursor = record.cursor;
    record.cursor = e;
    record.move_checks = told_check(board, *e, c != 0);
    if (!make_move(board, move)) {
      record.cursor = held_cursor;
      continue;
    }
    const int v = -search(board, side ^ 1, ply + 1, depth - 1, -beta, -alpha, pv_node, child_pv);
#if defined(__clang__) && __clang_major__ >= 19
    // Left to its profile, the optimiser calls unmake_move from here; inline
    // it saves the call's register traffic on most nodes' way back. (Older
    // clangs know the attribute only on functions and warn on statements.)
    [[clang::always_inline]] unmake_move(board);
#else
    unmake_move(board);
#endif
    record.cursor = held_cursor;
    if (v > alpha) {
      pv[ply] = move;
      if (ply + 1 < MAX_PLY) pv[ply + 1] = 0;
      if (v >= beta) return v;
      if (ply + 1 < MAX_PLY)
        for (int i = ply + 1; i < MAX_PLY; ++i) {
          pv[i] = child_pv[i];
          if (child_pv[i] == 0) break;
        }
      alpha = v;
    }
  }
}

int quiescence_score(SearchThread* thread) {
  Board* board = &thread->board;
  const int side = board->side;
  thread->ply = 1;
  thread->list_start[1] = thread->move_stack;
  thread->stack[0].tb_result = -1;
  thread->stack[0].move_checks = CHECK_UNKNOWN;
  thread->stack[1].tb_result = -1;
  thread->node_limit = uint64_t{1} << 62;
  thread->done_depth = 0;
  const bool in_check = attacked(board, king_square(board, side), side ^ 1);
  thread->stack[1].eval = static_cast<int16_t>(evaluate(thread, side, 1, in_check));
  Move line[MAX_PLY] = {};
  // In check there is no standing pat: the evasions get a full node.
  if (in_check) return search(board, side, 1, 0, -MATE, MATE, 1, line);
  return quiesce(board, side, 1, 0, -MATE, MATE, 1, line);
}
