#pragma once
// Counting the legal move tree, to check the move generator.
#include <cstdint>

struct BoardThread;

// The number of legal move sequences of length `depth` (0 when `depth` is
// below 1) from the thread's position, `side` to move. `ply` selects the
// move-stack area to start in.
uint64_t perft(BoardThread* thread, int side, int ply, int depth);
