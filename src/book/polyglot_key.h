#pragma once
// The position key of Polyglot ".bin" books: a Zobrist key over the
// published random numbers, so books made by other programs can be read.
#include <cstdint>

struct Board;

constexpr int POLYGLOT_RANDOM_COUNT = 781;
constexpr int POLYGLOT_CASTLE_BASE = 768;
constexpr int POLYGLOT_EP_BASE = 772;
constexpr int POLYGLOT_TURN = 780;

extern const uint64_t polyglot_random[POLYGLOT_RANDOM_COUNT];

// Pieces, castling rights, the en-passant file when a pawn of the side to
// move stands beside the pawn that just advanced two squares (whether or not
// the capture would be legal), and white to move.
uint64_t polyglot_key(const Board* board);
