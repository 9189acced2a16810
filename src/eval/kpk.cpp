#include "eval/kpk.h"

#include <cstdlib>

#include "board/board.h"

namespace {

enum : uint8_t { ILLEGAL = 0, DRAW = 1, WIN = 2, UNKNOWN = 4 };

// [0] attacker (pawn side, white) to move, [1] defender to move; then the
// pawn index (file a-d, index file + 4 * rank), attacker king, defender king.
uint8_t table[2][32][64][64];
bool built = false;

// King steps from each square, ended by -1.
int8_t king_steps[64][9];

int distance(int a, int b) {
  int df = std::abs((a & 7) - (b & 7)), dr = std::abs((a >> 3) - (b >> 3));
  return df > dr ? df : dr;
}

bool pawn_attacks_square(int pawn, int square) {
  if ((pawn >> 3) == 7 || (square >> 3) != (pawn >> 3) + 1) return false;
  return std::abs((square & 7) - (pawn & 7)) == 1;
}

int pawn_square(int index) { return (index >> 2) * 8 + (index & 3); }

void mark_start(int p, int pawn) {
  bool queen = (pawn >> 3) == 7;
  for (int ak = 0; ak < 64; ak++) {
    for (int dk = 0; dk < 64; dk++) {
      uint8_t& atm = table[0][p][ak][dk];
      uint8_t& dtm = table[1][p][ak][dk];
      atm = dtm = UNKNOWN;
      if (ak == dk || ak == pawn || dk == pawn || distance(ak, dk) <= 1) {
        atm = dtm = ILLEGAL;
        continue;
      }
      if (pawn_attacks_square(pawn, dk)) atm = ILLEGAL;
      if (queen) {
        if (atm) atm = WIN;
        if (distance(dk, pawn) > 1 || distance(ak, pawn) <= 1) dtm = WIN;
      }
    }
  }
}

// Values after every attacker move, ORed: pawn pushes and king steps.
uint8_t attacker_moves(int p, int pawn, int ak, int dk) {
  uint8_t seen = 0;
  int ahead = pawn + 8;
  if (ahead != ak && ahead != dk) {
    seen |= table[1][p + 4][ak][dk];
    int twice = pawn + 16;
    if ((pawn >> 3) == 1 && twice != ak && twice != dk) seen |= table[1][p + 8][ak][dk];
  }
  for (const int8_t* to = king_steps[ak]; *to >= 0; to++) seen |= table[1][p][*to][dk];
  return seen;
}

uint8_t defender_moves(int p, int pawn, int ak, int dk) {
  uint8_t seen = 0;
  for (const int8_t* to = king_steps[dk]; *to >= 0; to++) {
    if (*to == pawn)
      seen |= distance(ak, pawn) > 1 ? DRAW : ILLEGAL;
    else
      seen |= table[0][p][ak][*to];
  }
  return seen;
}

bool iterate_once() {
  bool changed = false;
  for (int p = 4; p < 28; p++) {  // pawn ranks 2..7
    int pawn = pawn_square(p);
    for (int ak = 0; ak < 64; ak++) {
      for (int dk = 0; dk < 64; dk++) {
        uint8_t& atm = table[0][p][ak][dk];
        if (atm == UNKNOWN) {
          uint8_t seen = attacker_moves(p, pawn, ak, dk);
          uint8_t v = (seen & WIN) ? WIN : (seen & UNKNOWN) ? UNKNOWN : DRAW;
          if (v != atm) atm = v, changed = true;
        }
        uint8_t& dtm = table[1][p][ak][dk];
        if (dtm == UNKNOWN) {
          uint8_t seen = defender_moves(p, pawn, ak, dk);
          uint8_t v = (seen & DRAW) ? DRAW : (seen & UNKNOWN) ? UNKNOWN : !(seen & WIN) ? DRAW : WIN;
          if (v != dtm) dtm = v, changed = true;
        }
      }
    }
  }
  return changed;
}

}  // namespace

void init_kpk() {
  if (built) return;
  built = true;
  for (int from = 0; from < 64; from++) {
    int n = 0;
    for (int to = 0; to < 64; to++)
      if (distance(from, to) == 1) king_steps[from][n++] = static_cast<int8_t>(to);
    king_steps[from][n] = -1;
  }
  for (int p = 0; p < 32; p++) mark_start(p, pawn_square(p));
  while (iterate_once()) {
  }
  // Whatever was never proven won is a draw (or cannot occur).
  for (auto& by_side : table)
    for (auto& by_pawn : by_side)
      for (auto& by_king : by_pawn)
        for (uint8_t& v : by_king)
          if (v != WIN) v = DRAW;
}

bool kpk_win(bool attacker_to_move, int pawn, int attacker_king, int defender_king) {
  int p = (pawn & 3) + 4 * (pawn >> 3);
  return table[attacker_to_move ? 0 : 1][p][attacker_king][defender_king] == WIN;
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
