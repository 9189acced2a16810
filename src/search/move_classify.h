#pragma once
// What a move is, as far as pruning, reductions and extensions care.
#include "board/board.h"
#include "board/legality.h"

enum : uint16_t {
  FLAG_CAPTURE = 1,
  FLAG_CHECK = 2,
  FLAG_DISCOVERED = 4,
  FLAG_SEVENTH = 8,
  FLAG_QUEENING = 16,
  FLAG_PASSER = 32,  // passed-pawn push to the fifth or sixth rank, or an under-promotion
};

// `checks`: find_check_squares of the position for `side`.
uint16_t classify_move(const Board* board, int side, const MoveEntry& entry, const CheckSquares& checks);

// False when some piece of `side` hangs badly enough that standing pat on
// `eval` would not hold beta.
bool threat_safe(Board* board, int side, int eval, int beta);

// True when a quiet move attacks something that matters: a bigger enemy
// piece, or a square next to the enemy king that another piece already hits.
bool creates_threat(Board* board, int side, const MoveEntry& entry);

// Quiet moves that give check (and pawn pushes to the seventh rank) for the
// quiescence search; entries scored 3. Returns the end of the list.
MoveEntry* gen_quiet_checks(const Board* board, int side, MoveEntry* out);
