#pragma once
// Bit primitives. The results are defined by the folding tables below (which
// the engine keeps for reference and tests); the hot paths get the same values
// from the standard <bit> functions.
#include <bit>
#include <cstdint>

using Bitboard = uint64_t;

constexpr Bitboard square_bit(int square) { return Bitboard{1} << square; }

extern const uint8_t lsb_index[64];
extern const uint8_t msb8[256];

// Index of the lowest / highest set bit; b must be non-zero.
inline int lsb(Bitboard b) { return std::countr_zero(b); }
inline int msb(Bitboard b) { return 63 - std::countl_zero(b); }
inline int popcount(Bitboard b) { return std::popcount(b); }

// The same three through the tables, the way the values are defined.
int lsb_folded(Bitboard b);
int msb_by_bytes(Bitboard b);
int popcount_parallel(Bitboard b);

// Returns the lowest set square and clears it: `while (b) { int sq = pop_lsb(b); ... }`
// visits squares in increasing order.
inline int pop_lsb(Bitboard& b) {
  int square = lsb(b);
  b &= b - 1;
  return square;
}
