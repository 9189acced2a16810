#pragma once
// Static exchange evaluation.
#include "board/board.h"

extern const int16_t exchange_value[7];  // 0, 100, 330, 330, 530, 1060, 10000
// Rough piece worth by type: a capture by a piece worth more than its victim
// is the kind whose exchange needs checking.
inline constexpr int8_t coarse_value[7] = {0, 1, 3, 3, 5, 10, 0};

// Material gain for `side` capturing on `square`, with `from` the capturing
// piece's square or NO_SQUARE for the least valuable attacker. `occupancy`
// holds the pieces still on the board. With `optional` the side may decline
// and the result is never negative. The board is restored before returning.
int swap(Board* board, int side, int from, int square, Bitboard occupancy, bool optional);
// Whether swap(board, side, from, square, occupancy, optional) would be at
// least `threshold`, found with less of the exchange played out.
bool swap_at_least(Board* board, int side, int from, int square, Bitboard occupancy, bool optional, int threshold);
// The same with the board's own occupancy.
int swap(Board* board, int side, int from, int square, bool optional);

// True when the capture loses at most 74 by the exchange.
bool see_ok(Board* board, Move move);
