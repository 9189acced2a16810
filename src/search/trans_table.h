#pragma once
// The transposition table shared by every search thread. Read and written
// without locks: each entry carries a check word, so an entry torn by two
// writers at once reads as a miss instead of as a wrong score.
#include <cstdint>

struct Board;

struct TTEntry {
  uint32_t key_hi;  // high half of the full position key
  uint32_t check;   // low half XOR ((move << 16) | (score + 15000))
  uint16_t move;
  int16_t score;    // mate scores as distance from this position
  uint16_t gen;     // hash_age when stored or last found
  uint8_t bound;    // 1 upper, 2 lower, 3 exact
  int8_t depth;     // -50 in an empty entry
};
static_assert(sizeof(TTEntry) == 16, "four entries must fill one cache line");

// An entry as the table holds it: the same fields, but the depth kept as its
// distance above the empty mark, so that an entry of all zero bytes is an
// empty one and a table fresh from the operating system needs no marking.
struct TTSlot {
  uint32_t key_hi;
  uint32_t check;
  uint16_t move;
  int16_t score;
  uint16_t gen;
  uint8_t bound;
  uint8_t depth_code;  // depth - TT_EMPTY_DEPTH, modulo 256
};
static_assert(sizeof(TTSlot) == 16, "four entries must fill one cache line");

enum : uint8_t { BOUND_UPPER = 1, BOUND_LOWER = 2, BOUND_EXACT = 3 };

// Miss codes left in TTEntry::depth by a probe that found nothing usable.
enum : int8_t { TT_NO_ENTRY = -99, TT_BAD_CHECK = -98, TT_BAD_MOVE = -97, TT_EMPTY_DEPTH = -50 };

inline int slot_depth(const TTSlot& slot) { return static_cast<int8_t>(slot.depth_code + TT_EMPTY_DEPTH); }

struct TransTable {
  TTSlot* base;    // n + 32 entries
  uint32_t count;  // n
  uint64_t mask;   // largest power of two <= n, minus one
  TTSlot* end;     // base + n
  double hashfull;
};

extern TransTable tt;

// (Re)builds the table for control.hash_mb; -1 when the memory is not there
// (the old table is gone by then).
int tt_allocate();
void tt_free();
void tt_clear();

// Index of the first entry of the bucket of a key for the given side.
uint64_t tt_bucket_index(uint64_t key, int side);

// Key-level probe and store; `out.depth` carries a miss code on a miss.
void tt_probe_key(uint64_t key, int side, TTEntry& out);
void tt_store_key(uint64_t key, int side, uint16_t move, int score, int bound, int depth);

// Position-level forms used by the search: the probe also rejects a stored
// move that cannot belong to the side to move.
void tt_probe(const Board& board, TTEntry& out);
void tt_store(const Board& board, uint16_t move, int score, int bound, int depth);
void tt_prefetch(const Board& board);

double tt_hashfull();
