#pragma once
// Shared set-up for the board tests: initialised tables, one thread block,
// the shared perft records and positions reached by random legal play.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "search/search_thread.h"
#include "support/shared_data.h"

namespace board_test {

// The tables are built and a zero-filled block exists; thread 0 points at it.
SearchThread* thread();

// Sets up the test thread's board from a record and returns it.
Board* setup(const char* fen);

struct PerftRecord {
  std::string fen;
  std::vector<uint64_t> counts;  // counts[d - 1] for depth d
};
std::vector<PerftRecord> perft_records();  // empty when the shared file is missing

// Legal moves of the side to move.
std::vector<Move> legal_moves(const Board* board);

// Plays up to `length` random legal moves from the board's position and
// returns the moves played (the board is left after them).
std::vector<Move> random_walk(Board* board, std::mt19937& rng, int length);

// Every view of the position the board keeps, to compare two moments.
struct Snapshot {
  Board board;
  int history_count, ply;
  Move last_move;
  std::vector<HistoryRecord> history;
};
Snapshot snapshot(const Board* board);
// Gtest assertion text for the first difference, empty when equal.
std::string difference(const Snapshot& a, const Snapshot& b);

}  // namespace board_test
