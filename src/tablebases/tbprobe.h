#pragma once
// What the rest of the engine asks of the endgame tablebases. Every entry
// point answers EGTB_NONE ("no information") while no table is registered,
// so callers never need to test whether tablebases are configured.
#include <cstdint>

#include "board/board.h"
#include "core/root_moves.h"

// Result of a probe that found nothing: the engine then searches normally.
// Stored in an int32_t it reads as -1, the search's "no tablebase result".
constexpr uint32_t EGTB_NONE = 0xFFFFFFFFu;

// Engine-facing win/draw/loss results, from the side to move's view.
enum EgtbResult : uint32_t {
  EGTB_LOSS = 0,
  EGTB_BLESSED_LOSS = 1,  // lost, but the 50-move rule saves it
  EGTB_DRAW = 2,
  EGTB_CURSED_WIN = 3,    // won, but the 50-move rule spoils it
  EGTB_WIN = 4,
};

// Largest number of pieces (kings included) of any registered table; 0 when
// none is registered, so a piece-count filter alone keeps probes away.
extern uint32_t egtb_max_pieces;

// (Re)initialises the registry from a directory list separated by ';'.
// An empty path or "<empty>" registers nothing. Releases every mapping of a
// previous setup, so it must never run while a search is in progress.
// Prints "info string found %d tablebases" when the path is non-empty.
void egtb_setup(const char* path);

// Win/draw/loss probe inside the search: 0..4, or EGTB_NONE when the depth is
// below the probe depth, the position has too many pieces or castling rights,
// or a table is missing. Reads the half-move clock as 0. Thread-safe.
// The search asks at a great many nodes, nearly all with more pieces than
// any table holds: those are refused here, without a call; the rest of the
// probe is egtb_search_wdl_tables.
uint32_t egtb_search_wdl_tables(const Board* board, int depth);
inline bool egtb_few_enough_pieces(const Board* board) {
  return static_cast<uint32_t>(popcount(occupancy(board))) <= egtb_max_pieces;
}
inline uint32_t egtb_search_wdl(const Board* board, int depth) {
  if (!egtb_few_enough_pieces(board)) return EGTB_NONE;
  return egtb_search_wdl_tables(board, depth);
}

// Root probe by distance to zeroing. On success returns the result 0..4 and
// stores it in *wdl, the distance (plies to the next zeroing move, 0 for a
// draw) in *dtz and the move to play in *move (engine move format). Returns
// EGTB_NONE and leaves the outputs alone when the position cannot be resolved.
// Uses the distance-to-zeroing cache, so only one thread may call it at a time.
uint32_t egtb_probe_root(const Board* board, uint32_t* wdl, uint32_t* dtz, uint16_t* move);

// The root decision of a search: sets control.tb_root_result (0..4 or -1)
// and control.tb_root_move (0 when none) for the position on `board`, whose
// game history holds `history_count` moves, choosing among the moves `only`
// allows. Called by the main search thread before its first iteration.
void egtb_probe_search_root(const Board* board, int history_count, const RootMoves& only);
