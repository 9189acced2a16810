#pragma once
// Per-thread table of pawn-structure results, addressed by the pawn key. An
// entry keeps the scores and the bitboards the rest of the evaluation reads.
#include <cstdint>

// One cache line each, so a probe reads a single line.
struct alignas(64) PawnEntry {
  uint64_t key;         // pawn key of the entry
  uint64_t outposts[2]; // each colour's outpost squares no enemy pawn can ever attack
  uint64_t passed;      // passed pawns of both colours
  uint64_t candidates;  // candidate passers of both colours
  int16_t op[2], en[2];
  uint16_t files[2];    // bit f: the colour has a pawn on file f
  // The king-safety terms that read only pawns and king squares, kept for
  // the kings' squares they were counted for (NO_SQUARE: none yet); a king
  // move away and back costs a recount, a piece move nothing.
  int32_t shelter_op[2];     // each king's pawn shield and storm terms
  uint8_t kings[2];
  uint8_t shelter_units[2];  // their king-danger units, with the king square's own
};
static_assert(sizeof(PawnEntry) == 64, "a pawn entry fills one cache line");

constexpr int PAWN_HASH_SIZE = 8192;

struct PawnHash {
  PawnEntry entries[PAWN_HASH_SIZE];
};

struct Board;
struct EvalThread;

// The entry for the thread's current pawn key, computed and stored on a
// miss. Outside a search it is always computed afresh.
PawnEntry* probe_pawns(EvalThread* thread);

// The pawn-structure terms and bitboards of a position, into `entry`.
void compute_pawn_entry(const Board* board, PawnEntry& entry);

// Each pawn's share of the entry's scores, added into op[] and en[] by
// square (for the evaluation display).
void pawn_terms_by_square(const Board* board, const PawnEntry& entry, int op[64], int en[64]);
