#pragma once
// Per-thread cache of whole evaluations. The two sides of one position use
// neighbouring slots, so a position seen from both sides costs one line.
#include <cstdint>

struct EvalCacheEntry {
  uint64_t key;       // full position key
  int16_t threat[2];  // the threat words the evaluation left
  int16_t score;      // for the side of the slot
};

constexpr int EVAL_CACHE_SIZE = 16384;

struct EvalCache {
  EvalCacheEntry entries[EVAL_CACHE_SIZE];
  // Parameter generation the thread's caches were filled under; a rebuild
  // of the evaluation tables makes every stored answer stale.
  uint32_t generation;
};

inline EvalCacheEntry& eval_cache_slot(EvalCache& cache, uint64_t key, int side) {
  return cache.entries[(key & 0x3FFE) + side];
}

// Asks for the line of a key's slots ahead of the probe: the cache is larger
// than the first-level data cache.
inline void eval_cache_prefetch(const EvalCache& cache, uint64_t key) {
  __builtin_prefetch(&cache.entries[key & 0x3FFE]);
}
