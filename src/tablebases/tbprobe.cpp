// Answers about real positions from the tables: captures and en-passant
// captures, which the tables do not store, are resolved by a small search;
// distances for the side to move a distance file leaves out are derived from
// the successors; and the root move is chosen by distance to zeroing.
#include "tablebases/tbprobe.h"

#include <bit>

#include "board/board.h"
#include "core/engine_state.h"
#include "tablebases/tb_moves.h"
#include "tablebases/tbcore.h"
#include "tablebases/tbprobe_internal.h"

constexpr int BEST_NONE = 65535;

// Distance of a position whose only information is its WDL value, by WDL + 2.
static const int wdl_to_dtz[5] = {-1, -101, 0, 101, 1};

int egtb_probe_captures(const EgtbPosition& pos, int alpha, int beta, int* success) {
  EgtbMove moves[EGTB_MAX_MOVES];
  int n = egtb_gen_captures(pos, moves);
  EgtbPosition next;
  for (int i = 0; i < n; i++) {
    if (egtb_is_en_passant(pos, moves[i])) continue;
    if (!egtb_do_move(&next, pos, moves[i])) continue;
    int v = -egtb_probe_captures(next, -beta, -alpha, success);
    if (*success == 0) return 0;
    if (v > alpha) {
      if (v >= beta) {
        *success = 2;
        return v;
      }
      alpha = v;
    }
  }
  int v = egtb_probe_table_wdl(pos, success);
  if (*success == 0) return 0;
  if (v > alpha) {
    *success = 1;
    return v;
  }
  *success = alpha > 0 ? 2 : 1;
  return alpha;
}

// True when the side to move has a legal move other than an en-passant capture.
static bool has_other_legal_move(const EgtbPosition& pos) {
  EgtbMove moves[EGTB_MAX_MOVES];
  int n = egtb_gen_moves(pos, moves);
  EgtbPosition next;
  for (int i = 0; i < n; i++)
    if (!egtb_is_en_passant(pos, moves[i]) && egtb_do_move(&next, pos, moves[i])) return true;
  return false;
}

// Best value among the legal en-passant captures, -3 when there is none.
static int best_en_passant(const EgtbPosition& pos, int* success) {
  int best = -3;
  EgtbPosition next;
  uint64_t attackers = egtb_en_passant_attackers(pos);
  for (; attackers; attackers &= attackers - 1) {
    EgtbMove move = egtb_make_move(std::countr_zero(attackers), pos.ep);
    if (!egtb_do_move(&next, pos, move)) continue;
    int w = -egtb_probe_captures(next, -2, 2, success);
    if (*success == 0) return 0;
    if (w > best) best = w;
  }
  return best;
}

int egtb_probe_wdl(const EgtbPosition& pos, int* success) {
  *success = 1;
  int v = egtb_probe_captures(pos, -2, 2, success);
  if (*success == 0) return 0;
  if (!egtb_en_passant_attackers(pos)) return v;
  int best = best_en_passant(pos, success);
  if (*success == 0) return 0;
  if (best == -3) return v;
  if (best >= v) return best;
  if (v != 0) return v;
  // The table's draw relies on a move; when en passant is the only one, it is forced.
  return has_other_legal_move(pos) ? 0 : best;
}

// A winning pawn push that keeps the value gives distance 1 (or 101).
static bool winning_pawn_push(const EgtbPosition& pos, int wdl, int* success) {
  int us = pos.turn ? 0 : 1;
  uint64_t own = us == 0 ? pos.white : pos.black;
  uint64_t occupied = pos.white | pos.black;
  int forward = us == 0 ? 8 : -8;
  EgtbMove moves[16];
  EgtbPosition next;
  for (uint64_t b = pos.pawns & own; b; b &= b - 1) {
    int from = std::countr_zero(b);
    int one = from + forward;
    if (occupied >> one & 1) continue;
    int n = 0;
    if ((one >> 3) == (us == 0 ? 7 : 0)) {
      for (int p : {EGTB_PROMOTE_QUEEN, EGTB_PROMOTE_KNIGHT, EGTB_PROMOTE_ROOK, EGTB_PROMOTE_BISHOP})
        moves[n++] = egtb_make_move(from, one, p);
    } else {
      moves[n++] = egtb_make_move(from, one);
      int two = one + forward;
      if ((from >> 3) == (us == 0 ? 1 : 6) && !(occupied >> two & 1)) moves[n++] = egtb_make_move(from, two);
    }
    for (int i = 0; i < n; i++) {
      if (!egtb_do_move(&next, pos, moves[i])) continue;
      int w = next.ep == 0 ? -egtb_probe_captures(next, -2, -wdl + 1, success) : -egtb_probe_wdl(next, success);
      if (*success == 0) return false;
      if (w == wdl) return true;
    }
  }
  return false;
}

// Distance when the file does not store this side to move: one more than the
// best (winning) or worst (losing) successor.
static int dtz_from_successors(const EgtbPosition& pos, int wdl, int* success) {
  EgtbMove moves[EGTB_MAX_MOVES];
  int n = egtb_gen_moves(pos, moves);
  EgtbPosition next;
  if (wdl > 0) {
    int best = BEST_NONE;
    for (int i = 0; i < n; i++) {
      if (!egtb_do_move(&next, pos, moves[i]) || next.rule50 == 0) continue;
      int v = -egtb_probe_dtz(next, success);
      if (*success == 0) return 0;
      if (v > 0 && v + 1 < best) best = v + 1;
    }
    // Only inconsistent tables leave no qualifying move: report failure.
    if (best == BEST_NONE) *success = 0;
    return best == BEST_NONE ? 0 : best;
  }
  int best = -1;
  for (int i = 0; i < n; i++) {
    if (!egtb_do_move(&next, pos, moves[i])) continue;
    int v;
    if (next.rule50 == 0) {
      if (wdl == -2) {
        v = -1;
      } else {
        int w = egtb_probe_captures(next, 1, 2, success);
        v = w == 2 ? 0 : -101;
      }
    } else {
      v = -egtb_probe_dtz(next, success) - 1;
    }
    if (*success == 0) return 0;
    if (v < best) best = v;
  }
  return best;
}

// Distance ignoring en-passant captures.
static int probe_dtz_no_ep(const EgtbPosition& pos, int* success) {
  *success = 1;
  int wdl = egtb_probe_captures(pos, -2, 2, success);
  if (*success == 0) return 0;
  if (wdl == 0) return 0;
  if (*success == 2) return wdl == 2 ? 1 : 101;
  if (wdl > 0) {
    bool push = winning_pawn_push(pos, wdl, success);
    if (*success == 0) return 0;
    if (push) return wdl == 2 ? 1 : 101;
  }
  int res = egtb_probe_table_dtz(pos, wdl, success);
  if (*success == 0) return 0;
  if (*success == 1) {
    int d = res + 1 + ((wdl & 1) ? 100 : 0);
    return wdl < 0 ? -d : d;
  }
  *success = 1;
  return dtz_from_successors(pos, wdl, success);
}

int egtb_probe_dtz(const EgtbPosition& pos, int* success) {
  int d = probe_dtz_no_ep(pos, success);
  if (*success == 0) return 0;
  if (!egtb_en_passant_attackers(pos)) return d;
  int best = best_en_passant(pos, success);
  if (*success == 0) return 0;
  if (best == -3) return d;
  int e = wdl_to_dtz[best + 2];
  if (d < -100) return e >= 0 ? e : d;
  if (d < 0) return (e >= 0 || e < -100) ? e : d;
  if (d > 100) return e > 0 ? e : d;
  if (d > 0) return e == 1 ? 1 : d;
  if (e >= 0) return e;
  return has_other_legal_move(pos) ? 0 : e;
}

EgtbPosition egtb_position_from_board(const Board* b, int rule50) {
  EgtbPosition pos;
  pos.white = b->bb[0];
  pos.black = b->bb[8];
  pos.kings = b->bb[6] | b->bb[14];
  pos.queens = b->bb[5] | b->bb[13];
  pos.rooks = b->bb[4] | b->bb[12];
  pos.bishops = b->bb[3] | b->bb[11];
  pos.knights = b->bb[2] | b->bb[10];
  pos.pawns = b->bb[1] | b->bb[9];
  pos.rule50 = (uint8_t)rule50;
  pos.ep = b->ep == 64 ? 0 : b->ep;
  pos.turn = b->side == 0 ? 1 : 0;
  return pos;
}

bool egtb_root_position_valid(const EgtbPosition& pos) {
  if (std::popcount(pos.kings & pos.white) != 1 || std::popcount(pos.kings & pos.black) != 1) return false;
  if (pos.white & pos.black) return false;
  const uint64_t boards[6] = {pos.kings, pos.queens, pos.rooks, pos.bishops, pos.knights, pos.pawns};
  uint64_t all = 0;
  for (uint64_t b : boards) {
    if (all & b) return false;
    all |= b;
  }
  if (pos.pawns & 0xFF000000000000FFULL) return false;
  if (all != (pos.white | pos.black)) return false;
  return !egtb_mover_in_check(pos);
}

static bool checkmated(const EgtbPosition& pos) {
  if (!egtb_in_check(pos)) return false;
  EgtbMove moves[EGTB_MAX_MOVES];
  int n = egtb_gen_moves(pos, moves);
  EgtbPosition next;
  for (int i = 0; i < n; i++)
    if (egtb_do_move(&next, pos, moves[i])) return false;
  return true;
}

static Move engine_move(EgtbMove m) {
  static const Move promotion_bits[5] = {0, PROMOTE_QUEEN, PROMOTE_ROOK, PROMOTE_BISHOP, PROMOTE_KNIGHT};
  return (Move)(make_move_word(egtb_move_from(m), egtb_move_to(m)) | promotion_bits[egtb_move_promotion(m)]);
}

namespace {

constexpr int EXCLUDED = 32767;  // score of a move no choice may take

// Each root move scored by the distance to zeroing it leads to: positive
// when it wins, negative when it loses, 0 when it draws; illegal moves get
// EXCLUDED. False when the position cannot be resolved.
bool score_root_moves(const EgtbPosition& pos, EgtbMove* moves, int* scores, int* count, int* dtz_out) {
  if (!egtb_root_position_valid(pos)) return false;
  int success;
  int dtz = egtb_probe_dtz(pos, &success);
  if (!success) return false;
  int n = egtb_gen_moves(pos, moves);
  if (n == 0) return false;
  EgtbPosition next;
  for (int i = 0; i < n; i++) {
    if (!egtb_do_move(&next, pos, moves[i])) {
      scores[i] = EXCLUDED;
      continue;
    }
    int v;
    if (dtz > 0 && checkmated(next)) {
      v = 1;
    } else if (next.rule50 != 0) {
      int d = egtb_probe_dtz(next, &success);
      v = d < 0 ? 1 - d : d > 0 ? -d - 1 : 0;
    } else {
      v = wdl_to_dtz[-egtb_probe_wdl(next, &success) + 2];
    }
    if (!success) return false;
    scores[i] = v;
  }
  *count = n;
  *dtz_out = dtz;
  return true;
}

// A fixed choice among the drawing moves, so repeated probes agree.
int drawing_choice(const EgtbPosition& pos, const int* scores, int n) {
  int draws = 0;
  for (int i = 0; i < n; i++) draws += scores[i] == 0;
  if (draws == 0) return -1;
  uint64_t k = egtb_material_key(pos, pos.turn == 0) % (uint64_t)draws;
  for (int i = 0; i < n; i++)
    if (scores[i] == 0 && k-- == 0) return i;
  return -1;
}

// The quickest win, else a draw, else the slowest loss, as the position's
// distance to zeroing asks: a move of another kind means inconsistent tables.
int choose_root_move(const EgtbPosition& pos, const int* scores, int n, int kind) {
  int chosen = -1;
  if (kind > 0) {
    for (int i = 0; i < n; i++)
      if (scores[i] > 0 && scores[i] != EXCLUDED && (chosen < 0 || scores[i] < scores[chosen])) chosen = i;
  } else if (kind < 0) {
    for (int i = 0; i < n; i++)
      if (scores[i] < 0 && (chosen < 0 || scores[i] < scores[chosen])) chosen = i;
  } else {
    chosen = drawing_choice(pos, scores, n);
  }
  return chosen;
}

int root_result(int fifty, int dtz) {
  if (dtz > 0) return fifty + dtz <= 100 ? EGTB_WIN : EGTB_CURSED_WIN;
  if (dtz < 0) return fifty - dtz <= 100 ? EGTB_LOSS : EGTB_BLESSED_LOSS;
  return EGTB_DRAW;
}

}  // namespace

int egtb_root_choice(const EgtbPosition& pos, int* dtz_out, EgtbMove* move_out) {
  EgtbMove moves[EGTB_MAX_MOVES];
  int scores[EGTB_MAX_MOVES];
  int n, dtz;
  if (!score_root_moves(pos, moves, scores, &n, &dtz)) return -1;
  int chosen = choose_root_move(pos, scores, n, dtz);
  if (chosen < 0) return -1;
  *dtz_out = dtz;
  *move_out = moves[chosen];
  return root_result(pos.rule50, dtz);
}

int egtb_root_choice_among(const EgtbPosition& pos, const RootMoves& only, int* dtz_out, EgtbMove* move_out) {
  EgtbMove moves[EGTB_MAX_MOVES];
  int scores[EGTB_MAX_MOVES];
  int n, dtz;
  if (!score_root_moves(pos, moves, scores, &n, &dtz)) return -1;
  for (int i = 0; i < n; i++)
    if (!root_move_allowed(only, engine_move(moves[i]))) scores[i] = EXCLUDED;
  // The position's own value may rest on a move left out, so the best kind
  // among the allowed moves decides, and the chosen move's distance gives
  // the result.
  int chosen = -1;
  for (int kind : {1, 0, -1})
    if (chosen < 0) chosen = choose_root_move(pos, scores, n, kind);
  if (chosen < 0) return -1;
  *dtz_out = scores[chosen];
  *move_out = moves[chosen];
  return root_result(pos.rule50, scores[chosen]);
}

static uint32_t probe_root(const Board* board, const RootMoves* only, uint32_t* wdl, uint32_t* dtz,
                           uint16_t* move) {
  if (egtb_max_pieces == 0) return EGTB_NONE;
  EgtbPosition pos = egtb_position_from_board(board, board->fifty);
  int d;
  EgtbMove m;
  int result = only ? egtb_root_choice_among(pos, *only, &d, &m) : egtb_root_choice(pos, &d, &m);
  if (result < 0) return EGTB_NONE;
  *wdl = (uint32_t)result;
  *dtz = (uint32_t)(d < 0 ? -d : d);
  *move = engine_move(m);
  return (uint32_t)result;
}

uint32_t egtb_probe_root(const Board* board, uint32_t* wdl, uint32_t* dtz, uint16_t* move) {
  return probe_root(board, nullptr, wdl, dtz, move);
}

uint32_t egtb_search_wdl_tables(const Board* board, int depth) {
  if (depth < control.tb_probe_depth[0]) return EGTB_NONE;
  if (popcount(occupancy(board)) == 6 && depth < control.tb_probe_depth[1]) return EGTB_NONE;
  if (board->castle) return EGTB_NONE;
  EgtbPosition pos = egtb_position_from_board(board, 0);
  int success;
  int w = egtb_probe_wdl(pos, &success);
  if (!success) return EGTB_NONE;
  return (uint32_t)(w + 2);
}

void egtb_probe_search_root(const Board* board, int history_count, const RootMoves& only) {
  control.tb_root_move = 0;
  uint32_t result = EGTB_NONE;
  uint32_t n = (uint32_t)std::popcount(board->bb[0] | board->bb[8]);
  const bool restricted = only.count > 0;
  if (history_count < 71 && n <= egtb_max_pieces && !board->castle) {
    uint32_t wdl, dtz;
    uint16_t move;
    result = probe_root(board, restricted ? &only : nullptr, &wdl, &dtz, &move);
    if (result != EGTB_NONE) control.tb_root_move = move;
  }
  // The position's value speaks for its best move, which a restricted
  // search may not play: then the search finds the value itself.
  if (result == EGTB_NONE && !restricted) result = egtb_search_wdl(board, 70);
  control.tb_root_result = (int32_t)result;
}
