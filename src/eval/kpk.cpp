#include "eval/kpk.h"

#include "board/board.h"
#include "eval/eval_tables.h"

namespace {

// The result: for [0] attacker (pawn side, white) to move, [1] defender to
// move; the pawn index (file a-d, index file + 4 * rank) and the attacker
// king, the set of defender-king squares where the attacker wins.
uint64_t won[2][32][64];

// While building, the same positions split three ways: won, not yet known
// and drawn. Illegal positions are in none of the three.
struct Sets {
  uint64_t win, unknown, draw;
};
Sets sets[2][32][64];
bool built = false;

// Squares one king step away from any square of `b`.
uint64_t king_reach(uint64_t b) {
  uint64_t sideways = ((b << 1) & ~FILE_A) | ((b >> 1) & ~FILE_H);
  uint64_t row = b | sideways;
  return sideways | (row << 8) | (row >> 8);
}

int pawn_square(int index) { return (index >> 2) * 8 + (index & 3); }

// Starting values. Positions with touching kings or two pieces on one
// square are illegal, and so is the attacker to move with the pawn attacking
// the defending king. A pawn on the eighth rank stands for a new queen: won
// with the attacker to move, and with the defender to move unless the
// defending king can take it unprotected.
void mark_start(int p) {
  int pawn = pawn_square(p);
  bool queen = (pawn >> 3) == 7;
  uint64_t pawn_hits = queen ? 0 : ((square_bit(pawn) << 7) & ~FILE_H) | ((square_bit(pawn) << 9) & ~FILE_A);
  for (int ak = 0; ak < 64; ak++) {
    Sets& atm = sets[0][p][ak];
    Sets& dtm = sets[1][p][ak];
    atm = dtm = Sets{0, 0, 0};
    if (ak == pawn) continue;
    uint64_t legal = ~(square_bit(ak) | square_bit(pawn) | king_reach(square_bit(ak)));
    uint64_t attacker_legal = legal & ~pawn_hits;
    if (!queen) {
      atm.unknown = attacker_legal;
      dtm.unknown = legal;
      continue;
    }
    atm.win = attacker_legal;
    uint64_t can_take = distance(ak, pawn) <= 1 ? 0 : king_reach(square_bit(pawn));
    dtm.win = legal & ~can_take;
    dtm.unknown = legal & can_take;
  }
}

// Moves an entry of `here` to won or drawn.
bool resolve(Sets& here, uint64_t now_won, uint64_t now_drawn) {
  here.win |= now_won;
  here.draw |= now_drawn;
  here.unknown &= ~(now_won | now_drawn);
  return (now_won | now_drawn) != 0;
}

// Attacker to move: won when some move reaches a won entry, drawn when no
// move reaches a won or unknown one. The pawn push is blocked by either
// king; the double step also needs the square it passes.
bool settle_attacker(int p, int pawn, int ak) {
  Sets& here = sets[0][p][ak];
  if (!here.unknown) return false;
  uint64_t win = 0, unknown = 0;
  int ahead = pawn + 8, twice = pawn + 16;
  if (ahead != ak) {
    uint64_t open = ~square_bit(ahead);
    win |= sets[1][p + 4][ak].win & open;
    unknown |= sets[1][p + 4][ak].unknown & open;
    if ((pawn >> 3) == 1 && twice != ak) {
      open &= ~square_bit(twice);
      win |= sets[1][p + 8][ak].win & open;
      unknown |= sets[1][p + 8][ak].unknown & open;
    }
  }
  for (uint64_t steps = king_reach(square_bit(ak)); steps; steps &= steps - 1) {
    const Sets& next = sets[1][p][__builtin_ctzll(steps)];
    win |= next.win;
    unknown |= next.unknown;
  }
  return resolve(here, here.unknown & win, here.unknown & ~win & ~unknown);
}

// Defender to move: drawn when some move reaches a drawn entry (taking an
// unprotected pawn is one) or when no move reaches a won one; won when
// every move reaches a won entry.
bool settle_defender(int p, int pawn, int ak) {
  Sets& here = sets[1][p][ak];
  if (!here.unknown) return false;
  const Sets& next = sets[0][p][ak];
  uint64_t draw = king_reach(next.draw), unknown = king_reach(next.unknown), win = king_reach(next.win);
  if (distance(ak, pawn) > 1) draw |= king_reach(square_bit(pawn));
  return resolve(here, here.unknown & ~draw & ~unknown & win, here.unknown & (draw | (~unknown & ~win)));
}

// One pass over the positions with the pawn on index p; true when any
// entry changed.
bool settle_pass(int p) {
  bool changed = false;
  int pawn = pawn_square(p);
  for (int ak = 0; ak < 64; ak++) {
    changed |= settle_attacker(p, pawn, ak);
    changed |= settle_defender(p, pawn, ak);
  }
  return changed;
}

}  // namespace

void init_kpk() {
  if (built) return;
  built = true;
  for (int p = 0; p < 32; p++) mark_start(p);
  // A pawn only moves forward, so the positions with the pawn on one square
  // depend only on themselves and on squares further up. Settling the
  // squares from the seventh rank down reaches the same fixed point as
  // sweeping the whole table until nothing changes, in a fraction of the
  // passes: each square's positions are final before any square below reads
  // them. Whatever is never proven won is a draw (or cannot occur).
  for (int p = 27; p >= 4; p--) {  // pawn ranks 7..2
    while (settle_pass(p)) {
    }
  }
  for (int s = 0; s < 2; s++)
    for (int p = 0; p < 32; p++)
      for (int ak = 0; ak < 64; ak++) won[s][p][ak] = sets[s][p][ak].win;
}

bool kpk_win(bool attacker_to_move, int pawn, int attacker_king, int defender_king) {
  int p = (pawn & 3) + 4 * (pawn >> 3);
  return (won[attacker_to_move ? 0 : 1][p][attacker_king] >> defender_king) & 1;
}

int probe_kpk_squares(int pawn_colour, int pawn, int white_king, int black_king, int side) {
  int ak = pawn_colour == 0 ? white_king : black_king;
  int dk = pawn_colour == 0 ? black_king : white_king;
  if (pawn_colour == 1) {  // turn the board round so the pawn runs up
    pawn ^= 63, ak ^= 63, dk ^= 63;
  }
  if ((pawn & 7) > 3) pawn ^= 7, ak ^= 7, dk ^= 7;
  bool attacker_to_move = side == pawn_colour;
  if (!kpk_win(attacker_to_move, pawn, ak, dk)) return 0;
  return attacker_to_move ? 800 : -800;
}

int probe_kpk(const Board* board, int side) {
  int pawn_colour = board->bb[WHITE_PAWN] ? 0 : 1;
  int pawn = lsb(board->bb[make_piece(PAWN, pawn_colour)]);
  return probe_kpk_squares(pawn_colour, pawn, king_square(board, 0), king_square(board, 1), side);
}
