// King safety in the middlegame, king activity in the ending.
#include "board/attacks.h"
#include "eval/eval_scratch.h"
#include "eval/eval_tables.h"
#include "eval/params.h"

namespace {

// Pawn cover on the three files round the shelter's centre, 1..10.
int shelter_units(const EvalScratch& s, int c, int k) {
  Bitboard own_pawns = s.board->bb[make_piece(PAWN, c)];
  int centre = shelter_file[k & 7];
  int u = (king_attacks[k] & own_pawns) ? 1 : 0;
  Bitboard second = c ? 0x00FF000000000000ULL : 0x000000000000FF00ULL;
  Bitboard third = c ? 0x0000FF0000000000ULL : 0x0000000000FF0000ULL;
  for (int f = centre - 1; f <= centre + 1; f++) {
    Bitboard on_file = own_pawns & file_mask(f);
    if (!on_file) continue;
    u += (on_file & second) ? 3 : (on_file & third) ? 2 : 1;
  }
  return u;
}

// Enemy attacks on the king zone, each piece kind counted only where the
// defender's cheaper pieces do not cover the square.
int zone_attacks(const EvalScratch& s, int c) {
  int e = c ^ 1;
  Bitboard zone = s.zone[c];
  Bitboard cover = s.pawn_att[c];
  int a = popcount(s.pawn_att[e] & zone) + popcount(s.double_att[e] & s.pawn_att[e] & zone);
  a += popcount(s.knight_att[e] & zone & ~cover);
  a += popcount(s.bishop_att[e] & zone & ~cover);
  cover |= s.knight_att[c] | s.bishop_att[c];
  a += popcount(s.rook_att[e] & zone & ~cover);
  cover |= s.rook_att[c] | s.queen_att[c];
  a += popcount(s.queen_att[e] & zone & ~cover);
  return a;
}

// Files of the shelter where the enemy pawns have left their own half (or
// are gone): a pawn storm is possible there, unless the kings stand on near
// files.
int storm_files(const EvalScratch& s, int c, int k) {
  const Board* b = s.board;
  int e = c ^ 1;
  int centre = shelter_file[k & 7];
  int enemy_king_file = king_square(b, e) & 7;
  if (enemy_king_file - centre <= 2 && centre - enemy_king_file <= 2) return 0;
  Bitboard their_home = b->bb[make_piece(PAWN, e)] & OWN_HALF[e];
  int f = 0;
  for (int file = centre - 1; file <= centre + 1; file++)
    if (!(their_home & file_mask(file))) f++;
  return f;
}

// Both kings' shelter terms into the pawn entry, for these king squares.
// Out of line: a king move is needed to call it, and the evaluation's hot
// path stays shorter without it.
[[gnu::noinline]] void count_shelter(const EvalScratch& s, PawnEntry& e, int wk, int bk) {
  const ParamBlock& p = params;
  e.kings[WHITE] = static_cast<uint8_t>(wk);
  e.kings[BLACK] = static_cast<uint8_t>(bk);
  for (int c = 0; c < 2; c++) {
    int k = c ? bk : wk;
    int u = shelter_units(s, c, k), f = storm_files(s, c, k);
    e.shelter_op[c] = p.pawn_shield * (u - 9) + p.pawn_storm * f;
    e.shelter_units[c] = static_cast<uint8_t>((10 - u) / 2 + king_square_danger(c, k) + f / 2);
  }
}

// Both kings' shelter terms, from the pawn entry when it holds them for
// these king squares: they read nothing but the pawns and the kings.
const PawnEntry& king_shelter(EvalScratch& s) {
  PawnEntry& e = *s.pawns;
  int wk = king_square(s.board, WHITE), bk = king_square(s.board, BLACK);
  if (e.kings[WHITE] != wk || e.kings[BLACK] != bk) count_shelter(s, e, wk, bk);
  return e;
}

void middlegame_king(EvalScratch& s, int c, int k, int& op, int& en) {
  const ParamBlock& p = params;
  int e = c ^ 1;
  const Board* b = s.board;
  const PawnEntry& shelter = king_shelter(s);
  op += shelter.shelter_op[c];

  int a = zone_attacks(s, c);
  Bitboard own_cover = s.pawn_att[c] | s.knight_att[c] | s.bishop_att[c] | s.rook_att[c] | s.queen_att[c];
  Bitboard safe = ~own_cover & ~b->bb[8 * e] & ~(s.king_att[c] & ~s.double_att[e]);
  int checks = popcount(s.check_n[c] & s.knight_att[e] & safe) +
               popcount(s.check_b[c] & s.bishop_att[e] & safe) +
               popcount(s.check_r[c] & s.rook_att[e] & safe) +
               ((s.queen_att[e] & s.check_b[c] & safe) ? 1 : 0) +
               ((s.queen_att[e] & s.check_r[c] & safe) ? 1 : 0);
  op -= 8 * checks;
  en -= 12 * checks;

  int units = 0;
  if (s.queen_att[e] & king_attacks[k] & safe) {  // supported queen contact check
    op -= 10;
    units = 2;
    s.threat[c] = 5000;
  }
  units += a + s.king_attack[e] + shelter.shelter_units[c] + 2 * checks;
  // Arithmetic rather than a branch: whose move it is alternates node by
  // node, and the branch was the evaluation's worst-predicted one.
  units -= (b->side == c) & (units > 0);
  if (units > 31) units = 31;
  if (units < 0) units = 0;
  op -= p.king_danger[units];

  bool enemy_attack_force = b->bb[make_piece(QUEEN, e)] && s.units[e] > 3;
  if (!enemy_attack_force) op /= 2;
}

void ending_king(EvalScratch& s, int c, int k, int& en) {
  const Board* b = s.board;
  Bitboard free = s.king_att[c] & ~s.attacked[c ^ 1] & ~b->bb[8 * c];
  if (free & CENTRE_16)
    en += 6;
  else if (!(free & INNER_36))
    en -= 12;
  int files = s.pawns->files[0] | s.pawns->files[1];
  if (files) {
    int lo = lowest_file[files], hi = highest_file[files], kf = k & 7;
    if (kf < lo)
      en -= 10 * (lo - kf);
    else if (kf > hi)
      en -= 10 * (kf - hi);
  }
  en += king_rank_bonus[relative_rank(c, k)];
}

}  // namespace

void king_eval(EvalScratch& s, int c, int k) {
  const OpEn& pst = params.pst[KING][relative_square(c, k)];
  int op = pst.op, en = pst.en;
  if (s.units[c ^ 1] > 2)
    middlegame_king(s, c, k, op, en);
  else
    op /= 2;
  if (s.stage > 14) ending_king(s, c, k, en);
  s.op[c] += op;
  s.en[c] += en;
  if (s.display) [[unlikely]] {
    s.square_op[k] += op;
    s.square_en[k] += en;
  }
}
