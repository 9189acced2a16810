#pragma once
// The root moves a search may choose from, as "go searchmoves" lists them.
// Kept in the core so that the front end, the search, the book and the
// tablebases all read the same restriction.
#include <cstdint>

// More room than any position has legal moves.
constexpr int ROOT_MOVES_MAX = 256;

struct RootMoves {
  int count;                        // 0: every legal move may be chosen
  uint16_t moves[ROOT_MOVES_MAX];
};

// True when the restriction lets `move` be chosen at the root.
bool root_move_allowed(const RootMoves& only, uint16_t move);

// Adds a move unless it is listed already or the list is full.
void add_root_move(RootMoves& only, uint16_t move);
