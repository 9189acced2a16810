#include "eval/eval_tables.h"

#include <cstdlib>

Bitboard king_zone[64];
int8_t supported_bonus[64];
int8_t kbnk_weak_king[64];
int8_t kbnk_strong_king[64];
int8_t mating_king[64];
int8_t lowest_file[256];
int8_t highest_file[256];

const int8_t shelter_file[8] = {1, 1, 2, 3, 4, 5, 6, 6};
const int16_t free_passer_threat[8] = {0, 100, 100, 200, 400, 800, 1600, 0};
const int8_t king_rank_bonus[8] = {0, 0, 4, 8, 8, 8, 4, 0};

namespace {

const int8_t supported_by_rank[8][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}, {2, 2, 2, 2, 2, 2, 2, 2},
    {2, 3, 4, 4, 4, 4, 3, 2}, {2, 4, 7, 7, 7, 7, 4, 2}, {2, 4, 7, 7, 7, 7, 4, 2},
    {2, 4, 7, 7, 7, 7, 4, 2}, {0, 0, 0, 0, 0, 0, 0, 0}};

// The mating corners of a bishop on dark squares (a1, h8) score highest.
const int8_t kbnk_weak_by_rank[8][8] = {
    {20, 18, 16, 14, 12, 10, 8, 6}, {18, 14, 12, 10, 8, 6, 4, 8},
    {16, 12, 8, 6, 2, 2, 6, 10},    {14, 10, 6, 2, 0, 2, 8, 12},
    {12, 8, 2, 0, 2, 6, 10, 14},    {10, 6, 2, 2, 6, 8, 12, 16},
    {8, 4, 6, 8, 10, 12, 14, 18},   {6, 8, 10, 12, 14, 16, 18, 20}};

const int zone_rank_shift[8] = {0, 0, 8, 16, 24, 32, 40, 40};
const int zone_file_shift[8] = {0, 0, 1, 2, 3, 4, 5, 5};

int edge_distance(int x) { return x < 7 - x ? x : 7 - x; }

bool built = false;

}  // namespace


int king_square_danger(int colour, int square) {
  int relative = colour ? square ^ 56 : square;
  return (relative == 0 || relative == 1 || relative == 6 || relative == 7) ? 0 : 1;
}

void init_eval_fixed_tables() {
  if (built) return;
  built = true;
  for (int sq = 0; sq < 64; sq++) {
    int f = sq & 7, r = sq >> 3;
    king_zone[sq] = Bitboard{0x70707} << (zone_rank_shift[r] + zone_file_shift[f]);
    supported_bonus[sq] = supported_by_rank[r][f];
    kbnk_weak_king[sq] = kbnk_weak_by_rank[r][f];
    int ring = edge_distance(f) < edge_distance(r) ? edge_distance(f) : edge_distance(r);
    kbnk_strong_king[sq] = static_cast<int8_t>(ring > 2 ? 2 : ring);
    mating_king[sq] = static_cast<int8_t>(10 * ((3 - edge_distance(f)) + (3 - edge_distance(r))));
  }
  for (int mask = 0; mask < 256; mask++) {
    lowest_file[mask] = 8;
    highest_file[mask] = -1;
    for (int f = 0; f < 8; f++) {
      if (!(mask >> f & 1)) continue;
      if (lowest_file[mask] == 8) lowest_file[mask] = static_cast<int8_t>(f);
      highest_file[mask] = static_cast<int8_t>(f);
    }
  }
}
