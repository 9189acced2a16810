#pragma once
// Counting the legal move tree, to check the move generator.
#include <cstdint>

struct SearchThread;

// Adds the number of legal move sequences of length `depth` (at least 1)
// from the thread's position, `side` to move, to thread->nodes. `ply`
// selects the move-stack area to start in.
void perft(SearchThread* thread, int side, int ply, int depth);
