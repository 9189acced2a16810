#include "search/trans_table.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "board/board.h"
#include "board/keys.h"
#include "core/engine_state.h"

TransTable tt;

namespace {

constexpr uint32_t check_word(uint64_t key, uint16_t move, int16_t score) {
  return static_cast<uint32_t>(key) ^ ((static_cast<uint32_t>(move) << 16) |
                                       static_cast<uint32_t>(score + 15000));
}

void mark_empty() {
  if (!tt.base) return;
  const uint64_t used = static_cast<uint64_t>(tt.count) + 16;
  std::memset(tt.base, 0, (static_cast<uint64_t>(tt.count) + 32) * sizeof(TTEntry));
  for (uint64_t i = 0; i < used; ++i) tt.base[i].depth = TT_EMPTY_DEPTH;
}

TTEntry* bucket(uint64_t key, int side) { return tt.base + tt_bucket_index(key, side); }

// Entries are read and written as two 64-bit words with relaxed atomics:
// plain moves on this hardware, and well-defined when threads collide.
uint64_t* words(TTEntry* entry) { return reinterpret_cast<uint64_t*>(entry); }

void load_entry(TTEntry* entry, TTEntry& out) {
  uint64_t w[2];
  w[0] = __atomic_load_n(words(entry), __ATOMIC_RELAXED);
  w[1] = __atomic_load_n(words(entry) + 1, __ATOMIC_RELAXED);
  std::memcpy(&out, w, sizeof out);
}

void store_entry(TTEntry* entry, const TTEntry& in) {
  uint64_t w[2];
  std::memcpy(w, &in, sizeof w);
  __atomic_store_n(words(entry), w[0], __ATOMIC_RELAXED);
  __atomic_store_n(words(entry) + 1, w[1], __ATOMIC_RELAXED);
}

}  // namespace

uint64_t tt_bucket_index(uint64_t key, int side) {
  const uint64_t i = key & tt.mask;
  // The two colours fill the table from opposite ends.
  return side == 0 ? i : tt.count - i;
}

void tt_free() {
  std::free(tt.base);
  tt.base = nullptr;
  tt.end = nullptr;
  tt.count = 0;
  tt.mask = 0;
}

int tt_allocate() {
  init_keys();
  tt_free();
  const uint64_t n = (static_cast<uint64_t>(control.hash_mb < 0 ? 0 : control.hash_mb) << 20) /
                     sizeof(TTEntry);
  control.hash_age = 0;
  tt.hashfull = 0;
  // Beyond 32 bits the entry count does not fit its field: refuse rather than wrap.
  if (n > 0xFFFFFFFFull - 32) return -1;
  void* memory = std::calloc(n + 32, sizeof(TTEntry));
  if (!memory) return -1;
  tt.base = static_cast<TTEntry*>(memory);
  tt.count = static_cast<uint32_t>(n);
  uint64_t power = 1;
  while (power * 2 <= n) power *= 2;
  tt.mask = n == 0 ? 0 : power - 1;
  tt.end = tt.base + n;
  mark_empty();
  return 0;
}

void tt_clear() {
  mark_empty();
  tt.hashfull = 0;
  control.hash_age = 0;
}

void tt_probe_key(uint64_t key, int side, TTEntry& out) {
  out.move = 0;
  out.depth = TT_NO_ENTRY;
  if (control.hash_mode == 0 || !tt.base || tt.count == 0) return;
  TTEntry* entry = bucket(key, side);
  const uint32_t hi = static_cast<uint32_t>(key >> 32);
  for (int i = 0; i < 4; ++i, ++entry) {
    TTEntry copy;
    load_entry(entry, copy);
    if (copy.key_hi != hi) continue;
    // A found entry stays young. Racing with a writer here at worst leaves
    // an entry whose check word no longer matches.
    copy.gen = static_cast<uint16_t>(control.hash_age);
    __atomic_store_n(words(entry) + 1, [&] {
      uint64_t w[2];
      std::memcpy(w, &copy, sizeof w);
      return w[1];
    }(), __ATOMIC_RELAXED);
    if (check_word(key, copy.move, copy.score) != copy.check) {
      out.depth = TT_BAD_CHECK;
      return;
    }
    out = copy;
    return;
  }
}

void tt_store_key(uint64_t key, int side, uint16_t move, int score, int bound, int depth) {
  if (control.hash_mode == 0 || !tt.base || tt.count == 0) return;
  TTEntry* first = bucket(key, side);
  const uint32_t hi = static_cast<uint32_t>(key >> 32);
  TTEntry slots[4];
  for (int i = 0; i < 4; ++i) load_entry(first + i, slots[i]);
  int target = -1;
  for (int i = 0; i < 4; ++i) {
    if (slots[i].key_hi == hi) {
      if (depth < slots[i].depth - 2) return;
      target = i;
      break;
    }
  }
  if (target < 0) {
    target = 0;
    int weakest = static_cast<int16_t>(slots[0].gen) * 16 + slots[0].depth;
    for (int i = 1; i < 4; ++i) {
      const int worth = static_cast<int16_t>(slots[i].gen) * 16 + slots[i].depth;
      if (worth < weakest) {
        weakest = worth;
        target = i;
      }
    }
    if (depth < slots[target].depth - 7) return;
  }
  TTEntry entry;
  entry.key_hi = hi;
  entry.move = move;
  entry.score = static_cast<int16_t>(score);
  entry.check = check_word(key, move, entry.score);
  entry.gen = static_cast<uint16_t>(control.hash_age);
  entry.bound = static_cast<uint8_t>(bound);
  entry.depth = static_cast<int8_t>(depth);
  store_entry(first + target, entry);
}

void tt_probe(const Board& board, TTEntry& out) {
  tt_probe_key(full_key(&board), board.side, out);
  if (out.depth < -10 || out.move == 0) return;
  const int from = move_from(out.move);
  const int to = move_to(out.move);
  const int mover = board.squares[from];
  const int target = board.squares[to];
  if (mover == 0 || piece_colour(mover) != board.side ||
      (target != 0 && piece_colour(target) == board.side)) {
    out.move = 0;
    out.depth = TT_BAD_MOVE;
  }
}

void tt_store(const Board& board, uint16_t move, int score, int bound, int depth) {
  tt_store_key(full_key(&board), board.side, move, score, bound, depth);
}

void tt_prefetch(const Board& board) {
  if (!tt.base || tt.count == 0) return;
  __builtin_prefetch(bucket(full_key(&board), board.side));
}

double tt_hashfull() {
  if (tt.count < 3000 || !tt.base) {
    tt.hashfull = 0;
    return 0;
  }
  int used = 0;
  const uint64_t start = tt.count / 2 - 500;
  for (uint64_t i = start; i < start + 1000; ++i) {
    TTEntry entry;
    load_entry(tt.base + i, entry);
    if (entry.gen == static_cast<uint16_t>(control.hash_age)) ++used;
  }
  tt.hashfull = used * 0.001;
  return tt.hashfull;
}
