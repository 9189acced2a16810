#pragma once
// Geometry and attack tables, slider attacks from rays, and the
// "is this square attacked" test.
#include "board/bitboard.h"
#include "board/board.h"

extern Bitboard ray_n[64], ray_s[64], ray_e[64], ray_w[64];
extern Bitboard ray_ne[64], ray_nw[64], ray_se[64], ray_sw[64];
extern Bitboard rook_rays[64];    // union of the four orthogonal rays
extern Bitboard bishop_rays[64];  // union of the four diagonal rays
extern Bitboard between[64][64];  // squares strictly between two aligned squares
extern Bitboard pawn_attacks[2][64];
extern Bitboard knight_attacks[64];
extern Bitboard king_attacks[64];
extern Bitboard adjacent_files[8];
extern Bitboard passed_span[2][64];
extern Bitboard beside[64];
extern const Bitboard rank7[2];  // seventh rank from each side's view

// Builds every table above; later calls do nothing.
void init_attack_tables();

// Slider attacks from the rays, one direction at a time: the definition the
// lookup tables below are built from (and checked against).
Bitboard rook_attacks_by_rays(int square, Bitboard occupancy);
Bitboard bishop_attacks_by_rays(int square, Bitboard occupancy);

// Per square: the blocker squares that matter, the multiplier that turns a
// blocker pattern into an index, and the square's part of the attack table.
struct SliderMagic {
  Bitboard mask;
  Bitboard multiplier;
  const Bitboard* attacks;
  unsigned shift;
};
extern SliderMagic rook_magics[64], bishop_magics[64];

// Fills the lookup tables; needs the rays.
void init_slider_magics();

inline Bitboard rook_attacks(int square, Bitboard occupancy) {
  const SliderMagic& m = rook_magics[square];
  return m.attacks[((occupancy & m.mask) * m.multiplier) >> m.shift];
}
inline Bitboard bishop_attacks(int square, Bitboard occupancy) {
  const SliderMagic& m = bishop_magics[square];
  return m.attacks[((occupancy & m.mask) * m.multiplier) >> m.shift];
}
inline Bitboard queen_attacks(int square, Bitboard occupancy) {
  return rook_attacks(square, occupancy) | bishop_attacks(square, occupancy);
}

// True when a piece of colour `by` attacks `square`.
bool attacked(const Board* board, int square, int by);

// The same over a hypothetical occupancy, ignoring the pieces of `by` on
// `gone` (captured in the move being tested). `square` must be on the board.
// Inline because the legality test of every generated move runs through it.
inline bool attacked_through(const Board* board, int square, int by, Bitboard occupancy, Bitboard gone) {
  const Bitboard* bb = board->bb + 8 * by;
  Bitboard leapers = (bb[PAWN] & pawn_attacks[by ^ 1][square]) | (bb[KNIGHT] & knight_attacks[square]) |
                     (bb[KING] & king_attacks[square]);
  if (leapers & ~gone) return true;
  Bitboard sliders = (((bb[BISHOP] | bb[QUEEN]) & bishop_rays[square]) |
                      ((bb[ROOK] | bb[QUEEN]) & rook_rays[square])) & ~gone;
  while (sliders)
    if (!(between[pop_lsb(sliders)][square] & occupancy)) return true;
  return false;
}

// True when the side to move's king is attacked.
bool in_check(const Board* board);
