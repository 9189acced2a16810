#pragma once
// Shared set-up for the board tests: initialised tables, one thread block,
// the shared perft records and random legal play.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/board_thread.h"
#include "support/board_block.h"
#include "support/shared_data.h"

namespace board_test {

inline BoardThread* thread() { return tarn_test::board_block(); }  // tables built, the block linked
Board* setup(const char* fen);    // the test thread's board, set up from a record

struct PerftRecord {
  std::string fen;
  std::vector<uint64_t> counts;  // counts[d - 1] for depth d
};
std::vector<PerftRecord> perft_records();

std::vector<Move> legal_moves(const Board* board);
// Plays up to `length` random legal moves from the board's position.
void random_walk(Board* board, std::mt19937& rng, int length);

// Every view of the position, the counters and the history in use.
struct Snapshot {
  Board board;
  int history_count, ply;
  Move last_move;
  std::vector<HistoryRecord> history;
};
Snapshot snapshot(const Board* board);
std::string difference(const Snapshot& a, const Snapshot& b);  // empty when equal

}  // namespace board_test
