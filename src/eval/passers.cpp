// Passed pawns and candidate passers.
#include "board/attacks.h"
#include "board/see.h"
#include "eval/eval_scratch.h"
#include "eval/eval_tables.h"
#include "eval/params.h"

namespace {

// Squares strictly ahead of `sq` on its file, from colour c's view.
Bitboard file_ahead(int c, int sq) { return c ? ray_s[sq] : ray_n[sq]; }

// Whether any piece of colour c stands where it could ever retake on
// `square`: a pawn, knight or king next to it, or a slider anywhere on one
// of its lines, whatever stands between.
bool retaker_possible(const Board* b, int c, int square) {
  const Bitboard* own = b->bb + 8 * c;
  Bitboard leapers = (own[PAWN] & pawn_attacks[c ^ 1][square]) | (own[KNIGHT] & knight_attacks[square]) |
                     (own[KING] & king_attacks[square]);
  Bitboard sliders =
      ((own[BISHOP] | own[QUEEN]) & bishop_rays[square]) | ((own[ROOK] | own[QUEEN]) & rook_rays[square]);
  return (leapers | sliders) != 0;
}

// Whether the pawn can step onto its empty stop square without losing the
// exchange there. Most stop squares no enemy piece attacks, even through the
// pawn's own square once it has left (a rook or queen behind it on the
// file): the exchange is then empty and needs no playing out. An attacked
// one that none of the pawn's own pieces could ever retake on is lost as
// plainly: the enemy's attack sets only count pieces that reach the square
// directly or behind one of their own that does.
bool stop_holds(const EvalScratch& s, int c, int sq, int stop) {
  Board* b = s.board;
  int e = c ^ 1;
  if ((s.attacked[e] >> stop) & 1) {
    if (!retaker_possible(b, c, stop)) return false;
  } else {
    Bitboard behind = (c ? ray_n[sq] : ray_s[sq]) & (b->bb[make_piece(ROOK, e)] | b->bb[make_piece(QUEEN, e)]);
    if (!behind) return true;
  }
  return swap_at_least(b, c, sq, stop, s.occ, false, 0);
}

int passer_score(EvalScratch& s, int c, int sq) {
  const ParamBlock& p = params;
  Board* b = s.board;
  int e = c ^ 1;
  int r = relative_rank(c, sq);
  int d = c ? -8 : 8;
  int promotion = (sq & 7) + (c ? 0 : 56);
  int own_king = king_square(b, c), enemy_king = king_square(b, e);
  Bitboard own_pawns = b->bb[make_piece(PAWN, c)];

  int v = p.ppawn[r];
  int target = r >= 6 ? sq + d : sq + 2 * d;
  int k_own = distance(own_king, target), k_enemy = distance(enemy_king, target);
  int stop = sq + d;
  if (r == 1 && !b->squares[stop]) stop = sq + 2 * d;
  int score = ((28 * k_enemy - 18 * k_own) * (r + 1)) / 16;

  if (!b->squares[stop]) {
    if (stop_holds(s, c, sq, stop)) {
      v += p.ppawn_free[r];
      int w = free_passer_threat[r];
      Bitboard beyond = file_ahead(c, stop);
      if (stop == promotion || !(beyond & (b->bb[8 * e] | s.attacked[e]))) {
        v += 4 * (r + 1);
        w = w + 100 + w / 2;
      }
      s.threat[e] += w;
      if (r + 1 > s.free_rank[c]) s.free_rank[c] = r + 1;  // as a rank number
    }
    score += v;
  } else {
    score += v;
    if (piece_colour(b->squares[stop]) == e) score -= v / 4;
  }

  if (beside[sq] & own_pawns) score += v / 4;
  if (pawn_attacks[e][sq] & own_pawns) score += v / 8;

  bool rook_pawn = (sq & 7) == 0 || (sq & 7) == 7;
  if (r >= 4 && k_own <= 1 && !rook_pawn) {
    score += v / 4;
  } else {
    int tempo = b->side == c ? 1 : 0;
    if (distance(enemy_king, promotion) > 8 - r - tempo) score += v / 4;
  }
  return score;
}

}  // namespace

// Both colours' passers in one walk: the terms add up in any order, and
// most positions have few passers or none.
void eval_passers(EvalScratch& s) {
  for (Bitboard passed = s.pawns->passed; passed;) {
    int sq = pop_lsb(passed);
    int c = piece_colour(s.board->squares[sq]);
    Bitboard own_pawns = s.board->bb[make_piece(PAWN, c)];
    int score;
    if (file_ahead(c, sq) & own_pawns) {
      score = params.ppawn[relative_rank(c, sq)] / 3;
      s.op[c] += score;
      s.en[c] += score;
    } else {
      score = passer_score(s, c, sq);
      s.en[c] += score;
      s.op[c] += score / 2;
    }
  }
}

void eval_candidates(EvalScratch& s, int c) {
  const Board* b = s.board;
  int step = c ? -8 : 8;
  int enemy_king = king_square(b, c ^ 1);
  for (Bitboard cand = s.pawns->candidates & b->bb[make_piece(PAWN, c)]; cand;) {
    int sq = pop_lsb(cand);
    if (b->squares[sq + step]) continue;
    int d = distance(enemy_king, sq + 2 * step);
    int r = relative_rank(c, sq);
    s.en[c] += ((24 * d + 32 * (r - 2)) * params.pawn_candidate) / 256;
  }
}
