#include "board/bitboard.h"

const uint8_t lsb_index[64] = {
    63, 30, 3,  32, 25, 41, 22, 33, 15, 50, 42, 13, 11, 53, 19, 34, 61, 29, 2,  51, 21, 43,
    45, 10, 18, 47, 1,  54, 9,  57, 0,  35, 62, 31, 40, 4,  49, 5,  52, 26, 60, 6,  23, 44,
    46, 27, 56, 16, 7,  39, 48, 24, 59, 14, 12, 55, 38, 28, 58, 20, 37, 17, 36, 8};

// msb8[n] = floor(log2 n), msb8[0] = 0.
const uint8_t msb8[256] = {
#define M4(x) x, x, x, x
#define M8(x) M4(x), M4(x)
#define M16(x) M8(x), M8(x)
    0, 0, 1, 1, M4(2), M8(3), M16(4), M16(5), M16(5), M16(6), M16(6), M16(6), M16(6),
    M16(7), M16(7), M16(7), M16(7), M16(7), M16(7), M16(7), M16(7)
#undef M16
#undef M8
#undef M4
};

int lsb_folded(Bitboard b) {
  Bitboard x = b ^ (b - 1);
  uint32_t folded = static_cast<uint32_t>(x) ^ static_cast<uint32_t>(x >> 32);
  return lsb_index[(folded * 0x783A9B23u) >> 26];
}

int msb_by_bytes(Bitboard b) {
  int result = 0;
  if (b >> 32) {
    b >>= 32;
    result = 32;
  }
  if (b > 0xFFFF) {
    b >>= 16;
    result += 16;
  }
  if (b > 0xFF) {
    b >>= 8;
    result += 8;
  }
  return result + msb8[b];
}

namespace {
int popcount32(uint32_t x) {
  x = x - ((x >> 1) & 0x55555555u);
  x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0Fu;
  return static_cast<int>((x * 0x01010101u) >> 24);
}
}  // namespace

int popcount_parallel(Bitboard b) {
  uint32_t low = static_cast<uint32_t>(b), high = static_cast<uint32_t>(b >> 32);
  return (low ? popcount32(low) : 0) + (high ? popcount32(high) : 0);
}
