#include "eval/evaluate.h"

#include <cstring>

#include "board/attacks.h"
#include "board/keys.h"
#include "eval/eval_scratch.h"
#include "eval/eval_tables.h"
#include "eval/eval_thread.h"
#include "eval/kpk.h"
#include "eval/params.h"

bool display_eval_terms = false;
EvalDisplay eval_display;

namespace {

constexpr uint32_t ONE_KNIGHT = 16, TWO_KNIGHTS = 32, ONE_BISHOP = 256;

int count_pawns(uint32_t sig) { return sig & 15; }
int count_knights(uint32_t sig) { return (sig >> 4) & 15; }
int count_bishops(uint32_t sig) { return (sig >> 8) & 15; }
int count_rooks(uint32_t sig) { return (sig >> 12) & 15; }
int count_queens(uint32_t sig) { return sig >> 16; }

bool lone_minor(uint32_t sig) { return sig == ONE_KNIGHT || sig == ONE_BISHOP; }

// King, bishop and knight against king: drive the defending king to a
// corner of the bishop's colour with the attacking king close by.
int kbnk_score(const Board* b, int strong) {
  int weak = strong ^ 1;
  int bishop = b->plist[make_piece(BISHOP, strong)][0];
  int wk = king_square(b, weak), sk = king_square(b, strong);
  int corner_view = dark_square(bishop) ? wk : wk ^ 7;
  return 4 * (kbnk_strong_king[sk] + 200 + 2 * kbnk_weak_king[corner_view] - 2 * distance(sk, wk));
}

// A rook or queen (or more) against a bare king.
int mating_score(const Board* b, int strong) {
  int weak = strong ^ 1;
  int wk = king_square(b, weak), sk = king_square(b, strong);
  return 100 * b->material[strong] + 200 - 10 * distance(sk, wk) + mating_king[wk];
}

// Exact answers for material that needs no evaluation. Returns true and sets
// `score` when one applies.
bool special_ending(EvalThread* t, int side, int ply, int& score) {
  const Board* b = &t->board;
  uint32_t sw = b->signature[0], sb = b->signature[1], total = sw + sb;
  if (!(b->bb[WHITE_PAWN] | b->bb[BLACK_PAWN])) {
    if (total == 0 || total == ONE_KNIGHT || total == ONE_BISHOP || total == TWO_KNIGHTS ||
        (lone_minor(sw) && lone_minor(sb))) {
      t->eval_ply[ply].dead_draw = 1;
      score = 0;
      return true;
    }
    if (total == ONE_KNIGHT + ONE_BISHOP && (sw == total || sb == total)) {
      int strong = sw ? 0 : 1;
      int v = kbnk_score(b, strong);
      score = strong == side ? v : -v;
      return true;
    }
    for (int strong = 0; strong < 2; strong++) {
      uint32_t s = b->signature[strong];
      if (b->signature[strong ^ 1] == 0 && (count_rooks(s) || count_queens(s))) {
        int v = mating_score(b, strong) - 100 * b->material[strong ^ 1];
        score = strong == side ? v : -v;
        return true;
      }
    }
    return false;
  }
  if (total == 1) {
    score = probe_kpk(b, side);
    return true;
  }
  return false;
}

// Out of line: the memo answers almost every call, and the recount inlined
// twice would sit in the middle of the hot path.
[[gnu::noinline]] void compute_material(const Board* b, MaterialEntry& m) {
  const ParamBlock& p = params;
  m.signature[0] = b->signature[0];
  m.signature[1] = b->signature[1];
  for (int c = 0; c < 2; c++) {
    uint32_t sig = b->signature[c];
    int P = count_pawns(sig), N = count_knights(sig), B = count_bishops(sig);
    int R = count_rooks(sig), Q = count_queens(sig);
    m.mat_op[c] = P * p.pawn_value_op + N * p.knight_value_op + B * p.bishop_value_op +
                  R * p.rook_value_op + Q * p.queen_value_op;
    m.mat_en[c] = P * p.pawn_value_en + N * p.knight_value_en + B * p.bishop_value_en +
                  R * p.rook_value_en + Q * p.queen_value_en;
    if (B > 1) {
      m.mat_op[c] += p.bishop_pair_op;
      m.mat_en[c] += p.bishop_pair_en;
    }
    // A lone queen without minor or rook support converts less well.
    if (Q && N + B + R == 0) m.mat_en[c] -= 50;
    int units = N + B + 2 * R + 4 * Q;
    m.units[c] = units > 12 ? 12 : units;
  }
}

void material(EvalThread* t, EvalScratch& s) {
  const Board* b = s.board;
  MaterialEntry& m = material_slot(t->material_memo, b->signature[0], b->signature[1]);
  if (m.signature[0] != b->signature[0] || m.signature[1] != b->signature[1] || !eval_caches_trusted(t))
    [[unlikely]] compute_material(b, m);
  for (int c = 0; c < 2; c++) {
    s.mat_op[c] = m.mat_op[c];
    s.mat_en[c] = m.mat_en[c];
    s.units[c] = m.units[c];
  }
  s.stage = 24 - s.units[0] - s.units[1];
}

void start_attacks(EvalScratch& s) {
  const Board* b = s.board;
  Bitboard wp = b->bb[WHITE_PAWN], bp = b->bb[BLACK_PAWN];
  s.pawn_att[0] = ((wp << 7) & ~FILE_H) | ((wp << 9) & ~FILE_A);
  s.pawn_att[1] = ((bp >> 9) & ~FILE_H) | ((bp >> 7) & ~FILE_A);
  for (int c = 0; c < 2; c++) {
    int k = king_square(b, c);
    s.king_att[c] = king_attacks[k];
    s.attacked[c] = s.pawn_att[c] | s.king_att[c];
    s.double_att[c] = s.pawn_att[c] & s.king_att[c];
    s.zone[c] = king_zone[k];
    s.knight_att[c] = s.bishop_att[c] = s.rook_att[c] = s.queen_att[c] = 0;
    s.mobility[c] = ~(s.pawn_att[c ^ 1] | b->bb[make_piece(PAWN, c)] | b->bb[make_piece(KING, c)]);
  }
  // Squares from which the other side would check each king, unless the
  // checker's own pieces stand there or the king's pawns guard them.
  for (int c = 0; c < 2; c++) {
    int k = king_square(b, c);
    Bitboard unsafe = b->bb[8 * (c ^ 1)] | s.pawn_att[c];
    s.check_n[c] = knight_attacks[k] & ~unsafe;
    s.check_b[c] = bishop_attacks(k, s.occ) & ~unsafe;
    s.check_r[c] = rook_attacks(k, s.occ) & ~unsafe;
  }
  int pawns = popcount(wp | bp);
  s.knight_bonus = pawns > 7 ? 2 * (pawns - 7) : 0;
}

// Pawns blocked by any piece cost a little, the central ones on their
// starting squares a lot: they lock in the bishops.
void blocked_pawns(EvalScratch& s) {
  const Board* b = s.board;
  Bitboard blocked[2] = {b->bb[WHITE_PAWN] & (s.occ >> 8), b->bb[BLACK_PAWN] & (s.occ << 8)};
  const Bitboard home_centre[2] = {square_bit(11) | square_bit(12), square_bit(51) | square_bit(52)};
  for (int c = 0; c < 2; c++) {
    int cost = 2 * popcount(blocked[c]) + 12 * popcount(blocked[c] & home_centre[c]);
    s.op[c] -= cost;
    s.en[c] -= cost;
  }
}

int blend(int op, int en, int stage) { return (op * (24 - stage) + en * stage) / 24; }

// The passers' share is the change of the accumulators across them: taken
// away before, added back after.
[[gnu::noinline, gnu::cold]] void add_passer_share(const EvalScratch& s, int sign) {
  for (int c = 0; c < 2; c++) {
    eval_display.term_op[TERM_PASSERS][c] += sign * s.op[c];
    eval_display.term_en[TERM_PASSERS][c] += sign * s.en[c];
  }
}

void begin_display(EvalScratch& s) {
  std::memset(&eval_display, 0, sizeof eval_display);
  std::memset(s.square_op, 0, sizeof s.square_op);
  std::memset(s.square_en, 0, sizeof s.square_en);
}

// The piece groups' shares are the sums of their squares' values, the
// pawns' and the passers' were noted on the way, and the rest is what
// remains: the search's evaluation then needs fewer tests between groups.
void share_out_terms(const EvalScratch& s) {
  EvalDisplay& d = eval_display;
  for (int sq = 0; sq < 64; sq++) {
    int code = s.board->squares[sq], type = piece_type(code);
    if (type == EMPTY || type == PAWN) continue;
    int term = TERM_KNIGHTS + type - KNIGHT, c = piece_colour(code);
    d.term_op[term][c] += s.square_op[sq];
    d.term_en[term][c] += s.square_en[sq];
  }
  for (int c = 0; c < 2; c++) {
    d.term_op[TERM_OTHER][c] = s.op[c], d.term_en[TERM_OTHER][c] = s.en[c];
    for (int term = TERM_PAWNS; term < TERM_OTHER; term++) {
      d.term_op[TERM_OTHER][c] -= d.term_op[term][c];
      d.term_en[TERM_OTHER][c] -= d.term_en[term][c];
    }
  }
}

void finish_display(const EvalScratch& s, int score, double factor) {
  EvalDisplay& d = eval_display;
  share_out_terms(s);
  d.score = score;
  d.stage = s.stage;
  d.draw_factor = factor;
  d.hung = s.hung;
  d.pinned = s.pinned;
  for (int c = 0; c < 2; c++) {
    d.free_rank[c] = s.free_rank[c];
    d.mat_op[c] = s.mat_op[c];
    d.mat_en[c] = s.mat_en[c];
  }
  for (int sq = 0; sq < 64; sq++) d.square_value[sq] = blend(s.square_op[sq], s.square_en[sq], s.stage);
  d.valid = true;
}

// Everything between the cache probe and the drawish scaling: material,
// attacks, pawns, pieces, kings, passers and the smaller terms, blended by
// the stage. Returns the score for white. Kept out of line: inlined into
// evaluate() it ran some 35 M instructions slower in the bench at depth 10.
[[gnu::noinline]] int full_evaluation(EvalThread* t, EvalScratch& s, int side) {
  Board* b = s.board;
  material(t, s);
  start_attacks(s);

  s.pawns = probe_pawns(t);
  for (int c = 0; c < 2; c++) {
    s.op[c] = s.pawns->op[c];
    s.en[c] = s.pawns->en[c];
    s.outposts[c] = s.pawns->outposts[c];
  }
  if (s.display) [[unlikely]] {
    for (int c = 0; c < 2; c++)
      eval_display.term_op[TERM_PAWNS][c] = s.op[c], eval_display.term_en[TERM_PAWNS][c] = s.en[c];
    pawn_terms_by_square(b, *s.pawns, s.square_op, s.square_en);
    piece_terms_by_square(s);
  }
  blocked_pawns(s);

  // Each colour's pieces get a call of their own rather than a loop: once
  // the helpers are inlined, every copy is specialised for its colour.
  eval_knights(s, WHITE);
  eval_knights(s, BLACK);
  eval_bishops(s, WHITE);
  eval_bishops(s, BLACK);
  eval_rooks(s, WHITE);
  eval_rooks(s, BLACK);
  eval_queens(s, WHITE);
  eval_queens(s, BLACK);
  for (int c = 0; c < 2; c++) king_eval(s, c, king_square(b, c));
  if (s.display) [[unlikely]] add_passer_share(s, -1);
  eval_passers(s);
  if (s.display) [[unlikely]] add_passer_share(s, 1);

  if (s.stage > 13)
    for (int c = 0; c < 2; c++) eval_candidates(s, c);
  eval_hung(s, WHITE);  // per colour as well: the specialised copies pay for their size
  eval_hung(s, BLACK);
  for (int c = 0; c < 2; c++) pinned_eval(s, c);
  s.op[side] += 14;
  s.en[side] += 7;

  int opd = ((s.op[0] - s.op[1]) * 148) / 128;
  int end = ((s.en[0] - s.en[1]) * 148) / 128;
  return ((opd + s.mat_op[0] - s.mat_op[1]) * (24 - s.stage) +
          (end + s.mat_en[0] - s.mat_en[1]) * s.stage) /
         24;
}

}  // namespace

bool eval_caches_trusted(const EvalThread* thread) {
  return thread->number != 0 && control.state != 0;
}

void clear_eval_caches(EvalThread* thread) {
  std::memset(&thread->eval_cache, 0, sizeof thread->eval_cache);
  std::memset(&thread->pawn_hash, 0, sizeof thread->pawn_hash);
  std::memset(&thread->material_memo, 0, sizeof thread->material_memo);
  // A zero key is a real pawn key (no pawns), so mark the emptied slots as
  // holding something no position has.
  for (PawnEntry& e : thread->pawn_hash.entries) e.key = ~uint64_t{0};
  for (EvalCacheEntry& e : thread->eval_cache.entries) e.key = ~uint64_t{0};
}

int evaluate(EvalThread* thread, int side, int ply, int skip) {
  if (skip) return EVAL_NONE;
  const Board* board = &thread->board;
  // A set-up position without both kings or with pawns on the end ranks is
  // not a game position; score it level instead of reading off the tables.
  if (!board->bb[WHITE_KING] || !board->bb[BLACK_KING] ||
      ((board->bb[WHITE_PAWN] | board->bb[BLACK_PAWN]) & 0xFF000000000000FFULL))
    return 0;
  thread->eval_count++;
  if (thread->eval_cache.generation != eval_tables_generation) {
    clear_eval_caches(thread);
    thread->eval_cache.generation = eval_tables_generation;
  }
  int score;
  if (special_ending(thread, side, ply, score)) return score;

  Board* b = &thread->board;
  EvalPly& record = thread->eval_ply[ply];
  uint64_t key = full_key(b);
  EvalCacheEntry& slot = eval_cache_slot(thread->eval_cache, key, side);
  if (slot.key == key && ply > 1 && eval_caches_trusted(thread)) {
    thread->eval_hits++;
    record.threat[0] = slot.threat[0];
    record.threat[1] = slot.threat[1];
    return slot.score;
  }

  EvalScratch s;
  s.board = b;
  s.occ = occupancy(b);
  s.threat[0] = s.threat[1] = 0;
  s.hung = s.pinned = 0;
  s.free_rank[0] = s.free_rank[1] = 0;
  s.king_attack[0] = s.king_attack[1] = 0;
  s.display = display_eval_terms && ply <= 1;
  if (s.display) begin_display(s);

  score = full_evaluation(thread, s, side);
  if (side) score = -score;
  double factor = drawish_factor(s, side, score);
  if (factor != 1.0) score = static_cast<int>(score * factor);

  for (int c = 0; c < 2; c++) {
    int v = s.threat[c] > 32767 ? 32767 : s.threat[c];
    record.threat[c] = static_cast<int16_t>(v);
    slot.threat[c] = static_cast<int16_t>(v);
  }
  slot.key = key;
  slot.score = static_cast<int16_t>(score);
  if (s.display) finish_display(s, score, factor);
  return score;
}

void init_eval() {
  init_eval_fixed_tables();
  init_kpk();
}
