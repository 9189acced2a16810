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

// Per-thread memory of the material terms by the pair of material
// signatures. A search meets few balances of material and evaluates each
// many times over. An all-zero entry is the true one for two bare kings, so
// a zeroed table needs no marking.
struct MaterialEntry {
  uint32_t signature[2];
  int32_t mat_op[2], mat_en[2];
  int32_t units[2];  // phase units, capped at 12
};

constexpr int MATERIAL_MEMO_SIZE = 512;

struct MaterialMemo {
  MaterialEntry entries[MATERIAL_MEMO_SIZE];
};

inline MaterialEntry& material_slot(MaterialMemo& memo, uint32_t white, uint32_t black) {
  return memo.entries[((white * 0x9E3779B1u) ^ (black * 0x85EBCA77u)) >> 23];
}

inline EvalCacheEntry& eval_cache_slot(EvalCache& cache, uint64_t key, int side) {
  return cache.entries[(key & 0x3FFE) + side];
}

// Asks for the line of a key's slots ahead of the probe: the cache is larger
// than the first-level data cache.
inline void eval_cache_prefetch(const EvalCache& cache, uint64_t key) {
  __builtin_prefetch(&cache.entries[key & 0x3FFE]);
}
