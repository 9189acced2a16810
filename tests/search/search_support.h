#pragma once
// Shared set-up of the search tests: tables built, a small transposition
// table, the game block (thread 0) and one search worker block (thread 1)
// driven synchronously on the test's own thread.
#include <string>

#include "search/search_thread.h"

namespace search_test {

// Builds every table once and returns the worker block (thread 1).
SearchThread* worker();

// Sets the game position, resets the shared result and copies the position
// into the worker as a search start does. Leaves the worker at the root.
void set_position(const std::string& fen);

// A whole search of the position to `depth` on the calling thread.
// Returns the worker's node count.
unsigned long long search_to_depth(const std::string& fen, int depth);

// Makes coordinate moves ("e2e4") on the worker's board.
void play(const char* moves);

}  // namespace search_test
