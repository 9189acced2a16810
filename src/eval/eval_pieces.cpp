// Knights, bishops, rooks and queens: placement, mobility, attacks on the
// enemy king and the few piece-specific patterns.
#include <cstring>

#include "board/attacks.h"
#include "board/see.h"
#include "eval/eval_scratch.h"
#include "eval/eval_tables.h"
#include "eval/params.h"

namespace {

// Applies a piece's own terms and, in the display's copy of the evaluators,
// records them on the piece's square. Everything a piece scores passes here:
// the display sums its groups from the squares.
template <bool BySquare>
void credit(EvalScratch& s, int c, int sq, int op, int en) {
  s.op[c] += op;
  s.en[c] += en;
  if constexpr (BySquare) {
    s.square_op[sq] += op;
    s.square_en[sq] += en;
  }
}

const OpEn& pst_of(int type, int c, int sq) { return params.pst[type][relative_square(c, sq)]; }

bool on_enemy_half(int c, int sq) { return (OWN_HALF[c ^ 1] >> sq) & 1; }

// Pieces of colour c of one code, in square-list order.
const uint8_t* pieces(const EvalScratch& s, int type, int c) {
  return s.board->plist[make_piece(type, c)];
}

template <bool BySquare>
void knights(EvalScratch& s, int c) {
  const ParamBlock& p = params;
  int e = c ^ 1;
  for (const uint8_t* at = pieces(s, KNIGHT, c); *at != NO_SQUARE; at++) {
    int sq = *at;
    Bitboard att = knight_attacks[sq];
    add_attacks(s, c, att);
    s.knight_att[c] |= att;
    if (att & (s.zone[e] | s.check_n[e])) s.king_attack[c] += 2;
    int n = popcount(att & s.mobility[c]);
    int zone = (att & s.zone[e]) ? 6 : 0;
    int op = pst_of(KNIGHT, c, sq).op + p.mob_knight[n].op + zone;
    int en = pst_of(KNIGHT, c, sq).en + p.mob_knight[n].en + zone + s.knight_bonus;
    if ((s.outposts[c] >> sq) & 1)
      op += p.knight_outpost + ((s.pawn_att[c] >> sq) & 1 ? 6 : 0);
    else if (att & s.outposts[c])
      op += p.knight_outpost / 2;
    if (n == 0 && on_enemy_half(c, sq)) op -= 20;
    credit<BySquare>(s, c, sq, op, en);
  }
}

template <bool BySquare>
void bishops(EvalScratch& s, int c) {
  const ParamBlock& p = params;
  int e = c ^ 1;
  Bitboard own_pawns = s.board->bb[make_piece(PAWN, c)];
  Bitboard their_pawns = s.board->bb[make_piece(PAWN, e)];
  // Own pawns fixed by an enemy pawn directly in front of them.
  Bitboard fixed = own_pawns & (c ? their_pawns << 8 : their_pawns >> 8);
  Bitboard through = s.occ & ~s.board->bb[make_piece(QUEEN, c)];
  for (const uint8_t* at = pieces(s, BISHOP, c); *at != NO_SQUARE; at++) {
    int sq = *at;
    Bitboard att = bishop_attacks(sq, through);
    add_attacks(s, c, att);
    s.bishop_att[c] |= att;
    if (att & (s.zone[e] | s.check_b[e])) s.king_attack[c] += 2;
    int centre = 4 * popcount(att & CENTRE_16);
    int n = popcount(att & s.mobility[c]);
    int op = pst_of(BISHOP, c, sq).op + centre + p.mob_bishop[n].op;
    int en = pst_of(BISHOP, c, sq).en + centre + p.mob_bishop[n].en;
    if ((s.outposts[c] >> sq) & 1) op += 12;
    Bitboard same_colour = dark_square(sq) ? DARK_SQUARES : ~DARK_SQUARES;
    int k = popcount(fixed & same_colour);
    op -= 4 * k;
    en -= 8 * k;
    if (n == 0 && on_enemy_half(c, sq)) op -= 20;
    credit<BySquare>(s, c, sq, op, en);
  }
}

// A rook hemmed in beside its own uncastled king or pawns.
bool rook_trapped(const EvalScratch& s, int c, int sq) {
  int f = sq & 7;
  if (f >= 2 && f <= 5) return false;
  Bitboard blockers = s.board->bb[make_piece(PAWN, c)] | s.board->bb[make_piece(KING, c)];
  Bitboard rank = Bitboard{0xFF} << (sq & 56);
  Bitboard files = f <= 1 ? (file_mask(1) | file_mask(2)) : (file_mask(5) | file_mask(6));
  return (blockers & rank & files) != 0;
}

// The seventh rank matters while the enemy king or pawns are still there.
bool seventh_rank_target(const EvalScratch& s, int c, int sq) {
  if (relative_rank(c, sq) != 6) return false;
  int e = c ^ 1;
  Bitboard enemy_back = c ? 0x000000000000FFFFULL : 0xFFFF000000000000ULL;
  return (s.board->bb[make_piece(KING, e)] | s.board->bb[make_piece(PAWN, e)]) & enemy_back;
}

template <bool BySquare>
void rooks(EvalScratch& s, int c) {
  const ParamBlock& p = params;
  int e = c ^ 1;
  Bitboard through = s.occ & ~(s.board->bb[make_piece(ROOK, c)] | s.board->bb[make_piece(QUEEN, c)]);
  for (const uint8_t* at = pieces(s, ROOK, c); *at != NO_SQUARE; at++) {
    int sq = *at, f = sq & 7;
    Bitboard att = rook_attacks(sq, through);
    add_attacks(s, c, att);
    s.rook_att[c] |= att;
    if (att & (s.zone[e] | s.check_r[e])) s.king_attack[c] += 3;
    int forward = 3 * popcount(att & far_file_half(c, sq));
    int n = popcount(att & s.mobility[c]);
    int op = pst_of(ROOK, c, sq).op + forward + p.mob_rook[n].op;
    int en = pst_of(ROOK, c, sq).en + forward + p.mob_rook[n].en;
    if (!((s.pawns->files[c] >> f) & 1)) {
      if (!((s.pawns->files[e] >> f) & 1)) {
        op += p.rook_open_file_op;
        en += p.rook_open_file_en;
      } else {
        op += p.rook_half_open_file_op;
        en += p.rook_half_open_file_en;
      }
    } else if (n < 5 && rook_trapped(s, c, sq)) {
      op += p.rook_trapped;
    }
    if (seventh_rank_target(s, c, sq)) {
      op += p.rook_rank7_op;
      en += p.rook_rank7_en;
    }
    credit<BySquare>(s, c, sq, op, en);
  }
}

template <bool BySquare>
void queens(EvalScratch& s, int c) {
  const ParamBlock& p = params;
  int e = c ^ 1;
  Bitboard own_bishops = s.board->bb[make_piece(BISHOP, c)];
  Bitboard own_rooks = s.board->bb[make_piece(ROOK, c)];
  for (const uint8_t* at = pieces(s, QUEEN, c); *at != NO_SQUARE; at++) {
    int sq = *at;
    Bitboard diag = bishop_attacks(sq, s.occ), line = rook_attacks(sq, s.occ);
    Bitboard att = diag | line;
    // Squares the queen reaches through its own bishop or rook in front of
    // it: the battery attacks them twice.
    Bitboard xray = 0;
    if (diag & own_bishops) xray |= bishop_attacks(sq, s.occ & ~own_bishops) & ~diag;
    if (line & own_rooks) xray |= rook_attacks(sq, s.occ & ~own_rooks) & ~line;
    add_attacks(s, c, att);
    s.double_att[c] |= xray;
    s.attacked[c] |= xray;
    s.queen_att[c] |= att;
    if (att & s.zone[e])
      s.king_attack[c] += 3;
    else if ((xray & s.zone[e]) || (att & (s.check_b[e] | s.check_r[e])))
      s.king_attack[c] += 2;
    int n = popcount(att & s.mobility[c]);
    int op = pst_of(QUEEN, c, sq).op + p.mob_queen[n].op;
    int en = pst_of(QUEEN, c, sq).en + p.mob_queen[n].en;
    if (seventh_rank_target(s, c, sq)) en += p.queen_rank7_en;
    credit<BySquare>(s, c, sq, op, en);
  }
}

}  // namespace

void eval_knights(EvalScratch& s, int c) { knights<false>(s, c); }
void eval_bishops(EvalScratch& s, int c) { bishops<false>(s, c); }
void eval_rooks(EvalScratch& s, int c) { rooks<false>(s, c); }
void eval_queens(EvalScratch& s, int c) { queens<false>(s, c); }

// The pieces' terms read nothing their own attack bookkeeping writes, so a
// second pass over a copy of the record gives each piece's share. It spares
// the search's evaluation a display test per piece.
[[gnu::noinline, gnu::cold]] void piece_terms_by_square(EvalScratch& s) {
  EvalScratch copy = s;
  for (int c = 0; c < 2; c++) {
    knights<true>(copy, c);
    bishops<true>(copy, c);
    rooks<true>(copy, c);
    queens<true>(copy, c);
  }
  std::memcpy(s.square_op, copy.square_op, sizeof s.square_op);
  std::memcpy(s.square_en, copy.square_en, sizeof s.square_en);
}

void eval_hung(EvalScratch& s, int c) {
  const ParamBlock& p = params;
  int e = c ^ 1;
  const Board* b = s.board;
  Bitboard by_minor = s.pawn_att[e] | s.knight_att[e] | s.bishop_att[e];
  Bitboard undefended = ~s.attacked[c];
  Bitboard by_pieces = s.knight_att[e] | s.bishop_att[e] | s.rook_att[e] | s.queen_att[e] | s.king_att[e];
  Bitboard hung = (b->bb[make_piece(QUEEN, c)] & (by_minor | s.rook_att[e])) |
                  (b->bb[make_piece(ROOK, c)] & by_minor) |
                  ((b->bb[make_piece(KNIGHT, c)] | b->bb[make_piece(BISHOP, c)]) &
                   (s.pawn_att[e] | (s.attacked[e] & undefended))) |
                  (b->bb[make_piece(PAWN, c)] & by_pieces & undefended);
  if (!hung) return;
  s.hung |= hung;
  int count = 0;
  for (Bitboard h = hung; h;) {
    int sq = pop_lsb(h);
    count++;
    s.op[c] += p.hung_op;
    s.en[c] += p.hung_en;
    int value = exchange_value[piece_type(b->squares[sq])];
    if (value > s.threat[c]) s.threat[c] = value;
  }
  if (count >= 2) {
    s.op[c] -= 12;
    s.en[c] -= 12;
  }
}

void pinned_eval(EvalScratch& s, int c) {
  const ParamBlock& p = params;
  int e = c ^ 1;
  const Board* b = s.board;
  Bitboard diag_sliders = b->bb[make_piece(BISHOP, e)] | b->bb[make_piece(QUEEN, e)];
  Bitboard line_sliders = b->bb[make_piece(ROOK, e)] | b->bb[make_piece(QUEEN, e)];
  Bitboard caught = 0;
  auto pins_against = [&](int target, Bitboard diag, Bitboard line) {
    Bitboard pinners = (diag & bishop_rays[target]) | (line & rook_rays[target]);
    while (pinners) {
      Bitboard between_set = between[pop_lsb(pinners)][target] & s.occ;
      if (between_set && !(between_set & (between_set - 1))) caught |= between_set;
    }
  };
  pins_against(king_square(b, c), diag_sliders, line_sliders);
  Bitboard queens = b->bb[make_piece(QUEEN, c)];
  if (queens && !(queens & (queens - 1)))
    pins_against(lsb(queens), b->bb[make_piece(BISHOP, e)], b->bb[make_piece(ROOK, e)]);
  Bitboard own_pieces = b->bb[8 * c] & ~b->bb[make_piece(PAWN, c)];
  caught &= own_pieces;
  if (!caught) return;
  s.pinned |= caught;
  int n = popcount(caught);
  s.op[c] += n * p.pinned_op;
  s.en[c] += n * p.pinned_en;
}
