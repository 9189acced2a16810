#include "search/trans_table.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "board/board.h"
#include "board/keys.h"
#include "core/engine_state.h"
#include "platform/zeroed_memory.h"

TransTable tt;

namespace {

constexpr uint32_t check_word(uint64_t key, uint16_t move, int16_t score) {
  return static_cast<uint32_t>(key) ^ ((static_cast<uint32_t>(move) << 16) |
                                       static_cast<uint32_t>(score + 15000));
}

std::size_t table_bytes(uint64_t count) { return (count + 32) * sizeof(TTSlot); }

// Empty entries are all zero bytes (see TTSlot).
void mark_empty() {
  if (!tt.base) return;
  std::memset(static_cast<void*>(tt.base), 0, table_bytes(tt.count));
}

TTSlot* bucket(uint64_t key, int side) { return tt.base + tt_bucket_index(key, side); }

// Entries are read and written as two 64-bit words with relaxed atomics:
// plain moves on this hardware, and well-defined when threads collide.
uint64_t* words(TTSlot* slot) { return reinterpret_cast<uint64_t*>(slot); }

void load_slot(TTSlot* slot, TTSlot& out) {
  uint64_t w[2];
  w[0] = __atomic_load_n(words(slot), __ATOMIC_RELAXED);
  w[1] = __atomic_load_n(words(slot) + 1, __ATOMIC_RELAXED);
  std::memcpy(&out, w, sizeof out);
}

void store_slot(TTSlot* slot, const TTSlot& in) {
  uint64_t w[2];
  std::memcpy(w, &in, sizeof w);
  __atomic_store_n(words(slot), w[0], __ATOMIC_RELAXED);
  __atomic_store_n(words(slot) + 1, w[1], __ATOMIC_RELAXED);
}

}  // namespace

uint64_t tt_bucket_index(uint64_t key, int side) {
  const uint64_t i = key & tt.mask;
  // The two colours fill the table from opposite ends.
  return side == 0 ? i : tt.count - i;
}

void tt_free() {
  zeroed_free(tt.base, table_bytes(tt.count));
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
  // Fresh memory from the system is already the empty table.
  void* memory = zeroed_alloc(table_bytes(n));
  if (!memory) return -1;
  tt.base = static_cast<TTSlot*>(memory);
  tt.count = static_cast<uint32_t>(n);
  uint64_t power = 1;
  while (power * 2 <= n) power *= 2;
  tt.mask = n == 0 ? 0 : power - 1;
  tt.end = tt.base + n;
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
  TTSlot* slot = bucket(key, side);
  const uint32_t hi = static_cast<uint32_t>(key >> 32);
  for (int i = 0; i < 4; ++i, ++slot) {
    if (__atomic_load_n(&slot->key_hi, __ATOMIC_RELAXED) != hi) continue;
    TTSlot copy;
    load_slot(slot, copy);
    if (copy.key_hi != hi) continue;  // rewritten since the first look
    // A found entry stays young. Racing with a writer here at worst leaves
    // an entry whose check word no longer matches.
    copy.gen = static_cast<uint16_t>(control.hash_age);
    uint64_t w[2];
    std::memcpy(w, &copy, sizeof w);
    __atomic_store_n(words(slot) + 1, w[1], __ATOMIC_RELAXED);
    if (check_word(key, copy.move, copy.score) != copy.check) {
      out.depth = TT_BAD_CHECK;
      return;
    }
    out.key_hi = copy.key_hi;
    out.check = copy.check;
    out.move = copy.move;
    out.score = copy.score;
    out.gen = copy.gen;
    out.bound = copy.bound;
    out.depth = static_cast<int8_t>(slot_depth(copy));
    return;
  }
}

void tt_store_key(uint64_t key, int side, uint16_t move, int score, int bound, int depth) {
  if (control.hash_mode == 0 || !tt.base || tt.count == 0) return;
  TTSlot* first = bucket(key, side);
  const uint32_t hi = static_cast<uint32_t>(key >> 32);
  TTSlot slots[4];
  for (int i = 0; i < 4; ++i) load_slot(first + i, slots[i]);
  int target = -1;
  for (int i = 0; i < 4; ++i) {
    if (slots[i].key_hi == hi) {
      if (depth < slot_depth(slots[i]) - 2) return;
      target = i;
      break;
    }
  }
  if (target < 0) {
    target = 0;
    int weakest = static_cast<int16_t>(slots[0].gen) * 16 + slot_depth(slots[0]);
    for (int i = 1; i < 4; ++i) {
      const int worth = static_cast<int16_t>(slots[i].gen) * 16 + slot_depth(slots[i]);
      if (worth < weakest) {
        weakest = worth;
        target = i;
      }
    }
    if (depth < slot_depth(slots[target]) - 7) return;
  }
  TTSlot entry;
  entry.key_hi = hi;
  entry.move = move;
  entry.score = static_cast<int16_t>(score);
  entry.check = check_word(key, move, entry.score);
  entry.gen = static_cast<uint16_t>(control.hash_age);
  entry.bound = static_cast<uint8_t>(bound);
  entry.depth_code = static_cast<uint8_t>(depth - TT_EMPTY_DEPTH);
  store_slot(first + target, entry);
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
    TTSlot entry;
    load_slot(tt.base + i, entry);
    if (entry.gen == static_cast<uint16_t>(control.hash_age)) ++used;
  }
  tt.hashfull = used * 0.001;
  return tt.hashfull;
}
