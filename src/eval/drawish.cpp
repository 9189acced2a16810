// Scaling of scores towards zero in material that is hard or impossible to
// win.
#include "board/attacks.h"
#include "eval/eval_scratch.h"
#include "eval/eval_tables.h"
#include "eval/kpk.h"

namespace {

constexpr uint32_t ONE_PAWN = 1, ONE_KNIGHT = 16, TWO_KNIGHTS = 32, TWO_BISHOPS = 512;
constexpr uint32_t ONE_ROOK = 4096, ONE_QUEEN = 65536;

int knights(uint32_t sig) { return (sig >> 4) & 15; }
int bishops(uint32_t sig) { return (sig >> 8) & 15; }
int queens(uint32_t sig) { return sig >> 16; }

// A rook pawn with a bishop that cannot control the queening corner.
bool wrong_rook_pawn(const EvalScratch& s, int strong) {
  const Board* b = s.board;
  uint32_t sig = b->signature[strong];
  if (sig & 0xFF0F0) return false;  // knights, rooks or queens
  Bitboard pawns = b->bb[make_piece(PAWN, strong)];
  int file;
  if (!(pawns & ~FILE_A))
    file = 0;
  else if (!(pawns & ~FILE_H))
    file = 7;
  else
    return false;
  int corner = file + (strong ? 0 : 56);
  if (distance(king_square(b, strong ^ 1), corner) > 1) return false;
  Bitboard bishop = b->bb[make_piece(BISHOP, strong)];
  if (!bishop) return true;
  return dark_square(lsb(bishop)) != dark_square(corner);
}

// Opposite-coloured bishops make a pawn or two extra much less decisive.
void opposite_bishops(const EvalScratch& s, int strong, double F[4]) {
  const Board* b = s.board;
  int weak = strong ^ 1;
  uint32_t ss = b->signature[strong], sw = b->signature[weak];
  int ms = b->material[strong], mw = b->material[weak];
  if (bishops(ss) != 1 || bishops(sw) != 1 || queens(ss) || queens(sw)) return;
  if (ms > (mw < 8 ? mw : 8)) return;
  int bs = b->plist[make_piece(BISHOP, strong)][0], bw = b->plist[make_piece(BISHOP, weak)][0];
  if (dark_square(bs) == dark_square(bw)) return;
  int dp = (ss & 15) - (sw & 15);
  static const double only_bishops_close[4] = {0.25, 0.2375, 0.225, 0.2125};
  static const double only_bishops_two[4] = {0.6, 0.57, 0.54, 0.51};
  static const double with_pieces[4] = {0.8, 0.76, 0.72, 0.68};
  const double* chosen = nullptr;
  if (ms <= 3)
    chosen = dp <= 1 ? only_bishops_close : dp == 2 ? only_bishops_two : nullptr;
  else if (dp <= 1)
    chosen = with_pieces;
  if (chosen)
    for (int i = 0; i < 4; i++) F[i] = chosen[i];
}

// One pawn up (or the only pawn): how well the defender can stop it.
double single_pawn(const EvalScratch& s, int strong, double f) {
  const Board* b = s.board;
  int weak = strong ^ 1;
  int pawn = b->plist[make_piece(PAWN, strong)][0];
  int step = strong ? -8 : 8;
  Bitboard ahead = strong ? ray_s[pawn] : ray_n[pawn];
  uint32_t sw = b->signature[weak];
  if (!knights(sw) && !bishops(sw))
    f *= 0.8;
  else if ((s.knight_att[weak] | s.bishop_att[weak]) & ahead)
    f *= 0.35;
  else
    f *= 0.7;
  int wk = king_square(b, weak), sk = king_square(b, strong);
  if (relative_rank(strong, wk) > relative_rank(strong, pawn)) {
    if ((ahead >> wk) & 1)
      f *= 0.75;
    else if (king_attacks[wk] & ahead & ~s.attacked[strong])
      f *= 0.85;
  }
  int target = relative_rank(strong, pawn) == 6 ? pawn + step : pawn + 2 * step;
  if (distance(sk, target) > distance(wk, target)) f *= 0.8;
  return f;
}

}  // namespace

double drawish_factor(EvalScratch& s, int side, int score) {
  if (score <= 14 && score >= -14) return 1.0;
  const Board* b = s.board;
  int strong = score > 0 ? side : side ^ 1, weak = strong ^ 1;
  int ms = b->material[strong], mw = b->material[weak];
  uint32_t ss = b->signature[strong], sw = b->signature[weak];
  int ps = ss & 15, pw = sw & 15;

  if (ms > 13) return 1.0;
  if (ms - mw > 3) {
    if (ss == TWO_KNIGHTS) return 0.05;
    if (ss == ONE_ROOK || ss == ONE_QUEEN) {
      bool queen_against_pieces = ss == ONE_QUEEN && mw > 5;
      if (pw == 0) return queen_against_pieces ? 0.75 : 1.0;
      return queen_against_pieces ? 0.675 : 0.9;
    }
    return 1.0;
  }
  if (ps == 0) {
    if (ss == TWO_BISHOPS && sw == ONE_KNIGHT) return 0.9;
    return ms <= 3 ? 0.05 : ms <= 8 ? 0.15 : 0.25;
  }
  if (ss == ONE_PAWN && sw == ONE_PAWN) {
    int pawn = b->plist[make_piece(PAWN, strong)][0];
    int v = probe_kpk_squares(strong, pawn, king_square(b, 0), king_square(b, 1), side);
    return v ? 1.0 : 0.25;
  }
  if (ms <= 3 && mw == 0) return wrong_rook_pawn(s, strong) ? 0.06 : 1.0;
  if (mw == 0) return 1.0;

  double F[4] = {1.0, 0.95, 0.9, 0.85};
  opposite_bishops(s, strong, F);
  if (ps > 3 || (ms + ps) - (mw + pw) > 1) return F[0];
  if (ps == 1) return single_pawn(s, strong, F[0]);
  return ms > 8 ? F[0] : ms == 3 ? F[3] : ms == 5 ? F[2] : F[1];
}
