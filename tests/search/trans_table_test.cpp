#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>
#include <utility>

#include "board/fen.h"
#include "board/keys.h"
#include "core/engine_state.h"
#include "search/search.h"
#include "search/trans_table.h"
#include "search_support.h"

namespace {

// What a probe read: move, score, bound and depth.
std::array<int, 4> read(const TTEntry& e) { return {e.move, e.score, e.bound, e.depth}; }

// The entry a probe of `key` from `side`'s end of the table reads. The
// record starts as garbage, so a field the probe leaves alone shows.
TTEntry probe(uint64_t key, int side = 0) {
  TTEntry out;
  std::memset(&out, 0x5A, sizeof out);
  tt_probe_key(key, side, out);
  return out;
}

// The entry a probe of the board's position reads.
TTEntry probe(const Board& board) {
  TTEntry out;
  std::memset(&out, 0x5A, sizeof out);
  tt_probe(board, out);
  return out;
}

// Entries counted, the bucket mask, and the entries between base and end.
std::array<uint64_t, 3> layout() { return {tt.count, tt.mask, static_cast<uint64_t>(tt.end - tt.base)}; }

// Restores the shared table the other tests use.
struct TableSize {
  explicit TableSize(int mb) {
    search_test::worker();
    control.hash_mb = static_cast<int16_t>(mb);
    EXPECT_EQ(tt_allocate(), 0);
    control.hash_mode = 1;
    control.hash_age = 1;
  }
  ~TableSize() {
    control.hash_mb = 8;
    tt_allocate();
    control.hash_mode = 1;
  }
};

TEST(TransTable, LayoutAndBucketsFromBothEnds) {
  {
    TableSize size(64);
    EXPECT_EQ(layout(), (std::array<uint64_t, 3>{4194304, 4194303, 4194304}));
    // Every entry that a bucket can reach is empty; the extra entries exist.
    EXPECT_TRUE(slot_depth(tt.base[4194304 + 15]) == TT_EMPTY_DEPTH && slot_depth(tt.base[0]) == TT_EMPTY_DEPTH);
    // The stored depth code round-trips every depth a search can store.
    for (int depth : {0, 1, 77, 127}) {
      tt_store_key(0x00000005000000A0ull, 0, 0, 1, BOUND_EXACT, depth);
      EXPECT_EQ(probe(0x00000005000000A0ull).depth, depth);
    }
  }
  TableSize size(100);
  EXPECT_EQ(layout(), (std::array<uint64_t, 3>{6553600, 4194303, 6553600}));
  const uint64_t key = 0xFFFFFFFFFFFFFFFFull;
  // White starts in the low part, black from the top end (the highest black bucket last).
  EXPECT_EQ((std::array<uint64_t, 3>{tt_bucket_index(key, 0), tt_bucket_index(key, 1), tt_bucket_index(0, 1)}),
            (std::array<uint64_t, 3>{4194303u, 6553600u - 4194303u, 6553600u}));
  EXPECT_LE(tt_bucket_index(0, 1) + 3, 6553600u + 31);
}

TEST(TransTable, StoreProbeCheckWordAndMoveTest) {
  TableSize size(1);
  const uint64_t key = 0x123456789ABCDEF0ull;
  tt_store_key(key, 0, 0x0C1C, -9990, BOUND_LOWER, 7);
  EXPECT_EQ(read(probe(key)), (std::array<int, 4>{0x0C1C, -9990, BOUND_LOWER, 7}));
  // Same key from the other side's end of the table: a different bucket.
  EXPECT_EQ(probe(key, 1).depth, TT_NO_ENTRY);
  // A torn entry (score changed behind the check word) reads as a miss.
  TTSlot* bucket = tt.base + tt_bucket_index(key, 0);
  bucket->score = 5;
  const TTEntry torn = probe(key);
  EXPECT_EQ((std::pair<int, int>(torn.depth, torn.move)), (std::pair<int, int>(TT_BAD_CHECK, 0)));

  // A stored move whose origin is not the side to move's is rejected.
  SearchThread* t = search_test::worker();
  parse_fen(&t->board, "4k3/8/8/8/8/8/4P3/4K3 w - -");
  tt_store(t->board, make_move_word(52, 44), 10, BOUND_EXACT, 3);  // e7e6: empty origin
  EXPECT_EQ(probe(t->board).depth, TT_BAD_MOVE);
  tt_store(t->board, make_move_word(12, 28), 10, BOUND_EXACT, 3);  // e2e4
  EXPECT_EQ(read(probe(t->board)), (std::array<int, 4>{make_move_word(12, 28), 10, BOUND_EXACT, 3}));

  tt_clear();
  EXPECT_EQ(probe(t->board).depth, TT_NO_ENTRY);
  control.hash_mode = 0;
  tt_store(t->board, 0, 1, BOUND_EXACT, 5);
  control.hash_mode = 1;
  EXPECT_EQ(probe(t->board).depth, TT_NO_ENTRY);
}

TEST(TransTable, Replacement) {
  TableSize size(1);
  const uint64_t key = 0x00000001000000A0ull;
  tt_store_key(key, 0, 0, 50, BOUND_EXACT, 10);
  tt_store_key(key, 0, 0, 60, BOUND_EXACT, 7);  // 3 below: ignored
  EXPECT_EQ(probe(key).score, 50);
  tt_store_key(key, 0, 0, 70, BOUND_EXACT, 8);  // 2 below: replaces
  EXPECT_EQ(read(probe(key)), (std::array<int, 4>{0, 70, BOUND_EXACT, 8}));

  // Fill a bucket with four deep current entries of other positions.
  tt_clear();
  control.hash_age = 5;
  const uint64_t base = 0x40;
  for (uint64_t i = 0; i < 4; ++i) tt_store_key(((i + 1) << 32) | (base + i), 0, 0, 1, BOUND_EXACT, 20);
  // Keys with low bits base+i start at consecutive entries; the bucket of
  // `base` now holds four depth-20 entries.
  const uint64_t stranger = (uint64_t{99} << 32) | base;
  tt_store_key(stranger, 0, 0, 2, BOUND_EXACT, 12);  // more than 7 below: ignored
  EXPECT_EQ(probe(stranger).depth, TT_NO_ENTRY);
  tt_store_key(stranger, 0, 0, 2, BOUND_EXACT, 13);  // 7 below: replaces the weakest
  EXPECT_EQ(probe(stranger).depth, 13);
  // Entries several searches old go first even when deeper (age weighs 16 a step).
  tt_clear();
  control.hash_age = 2;
  tt_store_key((uint64_t{1} << 32) | base, 0, 0, 1, BOUND_EXACT, 40);
  control.hash_age = 5;
  for (uint64_t i = 1; i < 4; ++i) tt_store_key(((i + 1) << 32) | base, 0, 0, 1, BOUND_EXACT, 1);
  tt_store_key(stranger, 0, 0, 2, BOUND_EXACT, 33);  // within 7 of the old entry's depth
  EXPECT_EQ(probe((uint64_t{1} << 32) | base).depth, TT_NO_ENTRY);
}

TEST(TransTable, HashfullAndMateDistance) {
  {
    TableSize size(0);
    EXPECT_EQ(tt.count, 0u);
    EXPECT_EQ(tt_hashfull(), 0.0);
  }
  TableSize size(1);
  control.hash_age = 9;
  EXPECT_EQ(tt_hashfull(), 0.0);
  const uint64_t middle = tt.count / 2 - 500;
  for (uint64_t i = 0; i < 250; ++i) tt.base[middle + i].gen = 9;
  EXPECT_DOUBLE_EQ(tt_hashfull(), 0.25);

  // A mate found 3 plies below a node at ply 5 is stored as a distance
  // from that node and read back at another ply as a distance from there.
  // Below the mate band scores pass unchanged.
  for (auto [score, ply, stored] : {std::tuple{10000 - 8, 5, 9997}, {-9990, 4, -9994}, {9696, 4, 9696}})
    EXPECT_EQ(score_to_table(score, ply), stored) << score << " at " << ply;
  for (auto [stored, ply, score] : {std::tuple{9997, 7, 9990}, {-9994, 4, -9990}, {-9697, 4, -9697}})
    EXPECT_EQ(score_from_table(stored, ply), score) << stored << " at " << ply;
}

}  // namespace
