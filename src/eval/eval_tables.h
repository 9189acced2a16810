#pragma once
// Fixed tables of the evaluation, built once at start-up.
#include <cstdint>

#include "board/bitboard.h"

extern Bitboard king_zone[64];          // 3 x 3 box round the king, pushed in at the edges
extern int8_t supported_bonus[64];      // pawn defended by a pawn, white's view
extern int8_t kbnk_weak_king[64];       // defending king in KBNK, dark corners high
extern int8_t kbnk_strong_king[64];     // 0 edge, 1 second ring, 2 centre
extern int8_t mating_king[64];          // defending king far from the centre
extern const int8_t shelter_file[8];    // centre file of the shelter by king file
extern const int16_t free_passer_threat[8];
extern const int8_t king_rank_bonus[8];  // ending king by relative rank
extern int8_t lowest_file[256];          // lowest set bit of a file mask, 8 when empty
extern int8_t highest_file[256];         // highest set bit, -1 when empty

constexpr Bitboard DARK_SQUARES = 0xAA55AA55AA55AA55ULL;
constexpr Bitboard CENTRE_16 = 0x00003C3C3C3C0000ULL;
constexpr Bitboard INNER_36 = 0x007E7E7E7E7E7E00ULL;
constexpr Bitboard FILE_A = 0x0101010101010101ULL;
constexpr Bitboard FILE_H = 0x8080808080808080ULL;

inline Bitboard file_mask(int file) { return FILE_A << file; }
inline bool dark_square(int square) { return (DARK_SQUARES >> square) & 1; }

// King distance: max of file and rank difference, from a table built at
// compile time: the passer terms measure several per pawn.
struct KingDistances {
  uint8_t squares[64][64];  // by the two squares
};
constexpr KingDistances make_king_distances() {
  KingDistances t{};
  for (int a = 0; a < 64; a++)
    for (int b = 0; b < 64; b++) {
      int df = (a & 7) - (b & 7), dr = (a >> 3) - (b >> 3);
      df = df < 0 ? -df : df;
      dr = dr < 0 ? -dr : dr;
      t.squares[a][b] = static_cast<uint8_t>(df > dr ? df : dr);
    }
  return t;
}
inline constexpr KingDistances KING_DISTANCES = make_king_distances();
inline int distance(int a, int b) { return KING_DISTANCES.squares[a][b]; }

// Squares of colour c's half of the board.
constexpr Bitboard OWN_HALF[2] = {0x00000000FFFFFFFFULL, 0xFFFFFFFF00000000ULL};

// Each square's file in the half of the board away from a colour, for a
// rook's reach up its file: one lookup is shorter than building the mask.
struct FarFileHalves {
  Bitboard squares[2][64];  // by colour and square
};
constexpr FarFileHalves make_far_file_halves() {
  FarFileHalves t{};
  for (int c = 0; c < 2; c++)
    for (int sq = 0; sq < 64; sq++) t.squares[c][sq] = (FILE_A << (sq & 7)) & OWN_HALF[c ^ 1];
  return t;
}
inline constexpr FarFileHalves FAR_FILE_HALVES = make_far_file_halves();
inline Bitboard far_file_half(int colour, int square) { return FAR_FILE_HALVES.squares[colour][square]; }

// Outpost candidates: files b-g of ranks 5 and 6 (white), 3 and 4 (black).
constexpr Bitboard OUTPOST_RANKS[2] = {0x00007E7E00000000ULL, 0x000000007E7E0000ULL};

// Squares a king on square k treats as its own back corner: relative a1, b1,
// g1, h1 cost nothing in king danger.
int king_square_danger(int colour, int square);

void init_eval_fixed_tables();
