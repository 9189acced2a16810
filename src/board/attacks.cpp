#include "board/attacks.h"

Bitboard ray_n[64], ray_s[64], ray_e[64], ray_w[64];
Bitboard ray_ne[64], ray_nw[64], ray_se[64], ray_sw[64];
Bitboard rook_rays[64], bishop_rays[64];
Bitboard between[64][64];
Bitboard pawn_attacks[2][64];
Bitboard knight_attacks[64];
Bitboard king_attacks[64];
Bitboard adjacent_files[8];
Bitboard passed_span[2][64];
Bitboard beside[64];
const Bitboard rank7[2] = {0x00FF000000000000ull, 0x000000000000FF00ull};

namespace {

bool on_board(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }

// Squares reached from `square` by repeating one step, up to the edge.
Bitboard ray(int square, int file_step, int rank_step) {
  Bitboard result = 0;
  int file = file_of(square) + file_step, rank = rank_of(square) + rank_step;
  for (; on_board(file, rank); file += file_step, rank += rank_step) result |= square_bit(make_square(file, rank));
  return result;
}

// Single steps from `square` that stay on the board.
Bitboard leaps(int square, const int (*steps)[2], int count) {
  Bitboard result = 0;
  for (int i = 0; i < count; ++i) {
    int file = file_of(square) + steps[i][0], rank = rank_of(square) + steps[i][1];
    if (on_board(file, rank)) result |= square_bit(make_square(file, rank));
  }
  return result;
}

Bitboard file_mask(int file) { return 0x0101010101010101ull << file; }

void init_between(int a) {
  for (int b = 0; b < 64; ++b) {
    int df = file_of(b) - file_of(a), dr = rank_of(b) - rank_of(a);
    bool aligned = df == 0 || dr == 0 || df == dr || df == -dr;
    if (!aligned || a == b) continue;
    int file_step = (df > 0) - (df < 0), rank_step = (dr > 0) - (dr < 0);
    Bitboard squares = 0;
    for (int f = file_of(a) + file_step, r = rank_of(a) + rank_step; make_square(f, r) != b;
         f += file_step, r += rank_step)
      squares |= square_bit(make_square(f, r));
    between[a][b] = squares;
  }
}

void init_square(int s) {
  static const int knight_steps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
  static const int king_steps[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
  static const int white_pawn_steps[2][2] = {{-1, 1}, {1, 1}};
  static const int black_pawn_steps[2][2] = {{-1, -1}, {1, -1}};
  static const int side_steps[2][2] = {{-1, 0}, {1, 0}};

  ray_n[s] = ray(s, 0, 1);
  ray_s[s] = ray(s, 0, -1);
  ray_e[s] = ray(s, 1, 0);
  ray_w[s] = ray(s, -1, 0);
  ray_ne[s] = ray(s, 1, 1);
  ray_nw[s] = ray(s, -1, 1);
  ray_se[s] = ray(s, 1, -1);
  ray_sw[s] = ray(s, -1, -1);
  rook_rays[s] = ray_n[s] | ray_s[s] | ray_e[s] | ray_w[s];
  bishop_rays[s] = ray_ne[s] | ray_nw[s] | ray_se[s] | ray_sw[s];
  knight_attacks[s] = leaps(s, knight_steps, 8);
  king_attacks[s] = leaps(s, king_steps, 8);
  pawn_attacks[WHITE][s] = leaps(s, white_pawn_steps, 2);
  pawn_attacks[BLACK][s] = leaps(s, black_pawn_steps, 2);
  beside[s] = leaps(s, side_steps, 2);

  int file = file_of(s), rank = rank_of(s);
  Bitboard files = file_mask(file) | adjacent_files[file];
  Bitboard above = rank == 7 ? 0 : ~Bitboard{0} << (8 * (rank + 1));
  Bitboard below = rank == 0 ? 0 : ~Bitboard{0} >> (8 * (8 - rank));
  passed_span[WHITE][s] = files & above;
  passed_span[BLACK][s] = files & below;
  init_between(s);
}

}  // namespace

void init_attack_tables() {
  static bool done = false;
  if (done) return;
  done = true;
  for (int f = 0; f < 8; ++f)
    adjacent_files[f] = (f > 0 ? file_mask(f - 1) : 0) | (f < 7 ? file_mask(f + 1) : 0);
  for (int s = 0; s < 64; ++s) init_square(s);
  init_slider_magics();
}

// Each direction's ray beyond its first blocker is cut away. A sentinel bit
// at the far corner (63 going up, 0 going down) stands in for "no blocker":
// its ray in that direction is empty, so the whole ray remains.
Bitboard rook_attacks_by_rays(int square, Bitboard occupancy) {
  int north = lsb((ray_n[square] & occupancy) | square_bit(63));
  int east = lsb((ray_e[square] & occupancy) | square_bit(63));
  int south = msb((ray_s[square] & occupancy) | 1);
  int west = msb((ray_w[square] & occupancy) | 1);
  return rook_rays[square] ^ ray_n[north] ^ ray_e[east] ^ ray_s[south] ^ ray_w[west];
}

Bitboard bishop_attacks_by_rays(int square, Bitboard occupancy) {
  int north_east = lsb((ray_ne[square] & occupancy) | square_bit(63));
  int north_west = lsb((ray_nw[square] & occupancy) | square_bit(63));
  int south_east = msb((ray_se[square] & occupancy) | 1);
  int south_west = msb((ray_sw[square] & occupancy) | 1);
  return bishop_rays[square] ^ ray_ne[north_east] ^ ray_nw[north_west] ^ ray_se[south_east] ^
         ray_sw[south_west];
}

bool attacked(const Board* board, int square, int by) {
  if (square >= 64) return false;  // a set-up position may lack a king
  return attacked_through(board, square, by, occupancy(board), 0);
}

bool in_check(const Board* board) {
  return attacked(board, king_square(board, board->side), board->side ^ 1);
}
