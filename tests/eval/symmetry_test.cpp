// Properties over thousands of real positions: colour symmetry and caches
// that never change an answer.
#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "board/fen.h"
#include "board/keys.h"
#include "board/see.h"
#include "eval/pawn_hash.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "eval_support.h"
#include "support/shared_data.h"

using eval_test::corpus;
using eval_test::eval_fen;
using eval_test::mirror_fen;
using eval_test::thread;

namespace {

const std::vector<std::string>& positions() {
  static std::vector<std::string> all = corpus(6, 60);
  return all;
}

// The exchange a passed pawn's advance starts, or none when its path is
// blocked.
std::optional<int> advance_exchange(Board* b, int sq) {
  const int c = b->squares[sq] >> 3, d = c ? -8 : 8;
  int stop = sq + d;
  if ((c ? 7 - (sq >> 3) : sq >> 3) == 1 && !b->squares[stop]) stop += d;
  if (b->squares[stop]) return std::nullopt;
  return swap(b, c, sq, stop, occupancy(b), false);
}

// The one asymmetry the exchange rules bring: among equal attackers the
// exchange takes the lowest-numbered square first, and turning the board
// over changes which one that is (and so which x-rays open). When the
// exchange for some passed pawn's advance differs between the twins, the
// scores may differ. Returns true when that is the case.
bool passer_exchange_differs(const std::string& fen, const std::string& twin) {
  EvalThread* t = thread();
  parse_fen(&t->board, fen.c_str());
  PawnEntry entry;
  compute_pawn_entry(&t->board, entry);
  std::vector<std::pair<int, std::optional<int>>> here;
  for (Bitboard p = entry.passed; p; p &= p - 1) here.push_back({lsb(p), advance_exchange(&t->board, lsb(p))});
  parse_fen(&t->board, twin.c_str());
  for (const auto& [sq, exchange] : here)
    if (advance_exchange(&t->board, sq ^ 56) != exchange) return true;
  return false;
}

TEST(Symmetry, MirroredTwinScoresTheSame) {
  TARN_REQUIRE_SHARED("epd/wac.epd");
  EvalThread* t = thread();
  ASSERT_GT(positions().size(), 3000u);
  int explained = 0;
  for (const std::string& fen : positions()) {
    int a = eval_fen(fen);
    int16_t ta[2] = {t->eval_ply[1].threat[0], t->eval_ply[1].threat[1]};
    std::string twin = mirror_fen(fen);
    int b = eval_fen(twin);
    // The threat words swap colours with the board.
    if (a == b && ta[0] == t->eval_ply[1].threat[1] && ta[1] == t->eval_ply[1].threat[0]) continue;
    explained++;
    EXPECT_TRUE(passer_exchange_differs(fen, twin)) << fen << "  vs  " << twin << ": " << a << " " << b;
  }
  // Rare: a handful in a couple of hundred thousand positions.
  EXPECT_LT(explained, static_cast<int>(positions().size() / 1000));
}

// Evaluates the corpus inside a "search" (caches trusted, deep ply) twice
// and compares every answer and threat word with a one-off evaluation.
TEST(Caches, CachedAnswersEqualFreshOnes) {
  TARN_REQUIRE_SHARED("epd/wac.epd");
  EvalThread* t = thread();
  clear_eval_caches(t);
  const size_t n = 3000;  // fits the caches well enough for later rounds to hit
  std::vector<std::array<int, 3>> fresh;  // the score and both threat words
  control.state = 0;
  for (size_t i = 0; i < n; i++) {
    const int v = eval_fen(positions()[i]);
    fresh.push_back({v, t->eval_ply[1].threat[0], t->eval_ply[1].threat[1]});
  }
  control.state = 1;
  // Round 0 cold, round 1 with both caches warm, round 2 with only the pawn
  // hash and the material memory warm (so they are the ones that answer).
  uint64_t eval_hits[3], pawn_hits[3];
  for (int round = 0; round < 3; round++) {
    if (round == 2)
      for (EvalCacheEntry& e : t->eval_cache.entries) e.key = ~uint64_t{0};
    eval_hits[round] = t->eval_hits;
    pawn_hits[round] = t->pawn_hits;
    for (size_t i = 0; i < n; i++) {
      parse_fen(&t->board, positions()[i].c_str());
      t->eval_ply[5].threat[0] = t->eval_ply[5].threat[1] = 0;
      const int v = evaluate(t, t->board.side, 5, 0);
      ASSERT_EQ((std::array<int, 3>{v, t->eval_ply[5].threat[0], t->eval_ply[5].threat[1]}), fresh[i])
          << positions()[i] << " round " << round;
    }
    eval_hits[round] = t->eval_hits - eval_hits[round];
    pawn_hits[round] = t->pawn_hits - pawn_hits[round];
  }
  control.state = 0;
  EXPECT_GT(eval_hits[1], n / 2);
  EXPECT_GT(pawn_hits[2], n / 2);
  EXPECT_GT(pawn_hits[2], pawn_hits[0]);
}

TEST(Caches, OnlyTrustedInsideASearchBelowTheRoot) {
  EvalThread* t = thread();
  const std::string fen = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -";
  clear_eval_caches(t);
  parse_fen(&t->board, fen.c_str());
  control.state = 1;
  int v = evaluate(t, 0, 3, 0);
  // Plant a different score: only a trusted probe below the root returns it.
  eval_cache_slot(t->eval_cache, full_key(&t->board), 0).score = static_cast<int16_t>(v + 1000);
  uint64_t hits = t->eval_hits;
  EXPECT_EQ(evaluate(t, 0, 3, 0), v + 1000);
  EXPECT_EQ(t->eval_hits, hits + 1);
  EXPECT_EQ(evaluate(t, 0, 1, 0), v);  // the root never uses the cache
  control.state = 0;
  eval_cache_slot(t->eval_cache, full_key(&t->board), 0).score = static_cast<int16_t>(v + 1000);
  EXPECT_EQ(evaluate(t, 0, 3, 0), v);  // no search running
  EXPECT_EQ(t->eval_hits, hits + 1);
  // Same pawns, different pieces: one pawn-hash entry serves both.
  control.state = 1;
  parse_fen(&t->board, "r1bqkb1r/pppp1ppp/2n2n2/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
  uint64_t pawn_hits = t->pawn_hits;
  evaluate(t, 0, 3, 0);
  EXPECT_EQ(t->pawn_hits, pawn_hits + 1);
  control.state = 0;
  EXPECT_EQ(evaluate(t, 0, 3, 1), EVAL_NONE);
}

// The pawn entry keeps king-safety counts for the king squares it counted
// them for: after either king moves, the warm entry answers as a fresh
// evaluation does (castled kings first, then each king elsewhere and one on
// the far wing, where a pawn storm counts).
TEST(Caches, ShelterCountsFollowTheKings) {
  EvalThread* t = thread();
  const char* castled = "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQ1RK1 w - -";
  const char* moved[] = {
      "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQK2R w - -",
      "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQ1RK1 w - -",
      "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/2KR1B1R w - -",
  };
  for (const char* fen : moved) {
    const int fresh = eval_fen(fen);
    clear_eval_caches(t);
    control.state = 1;
    parse_fen(&t->board, castled);
    evaluate(t, t->board.side, 3, 0);
    parse_fen(&t->board, fen);
    const uint64_t hits = t->pawn_hits;
    EXPECT_EQ(evaluate(t, t->board.side, 3, 0), fresh) << fen;
    EXPECT_EQ(t->pawn_hits, hits + 1) << fen;  // same pawns: the warm entry answered
    control.state = 0;
  }
}

TEST(Caches, ParameterChangeMakesCachedAnswersStale) {
  EvalThread* t = thread();
  // White has two knights more, so the knight's value shows in the score.
  const char* fen = "r1bqkb1r/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -";
  control.state = 1;
  parse_fen(&t->board, fen);
  int before = evaluate(t, 1, 4, 0);
  uint64_t hits = t->eval_hits;
  EXPECT_EQ(evaluate(t, 1, 4, 0), before);
  EXPECT_EQ(t->eval_hits, hits + 1);
  params.knight_value_op += 100;
  init_eval_tables();
  int after = evaluate(t, 1, 4, 0);
  control.state = 0;
  EXPECT_EQ(after, eval_test::eval_fen(fen));
  EXPECT_LT(after, before - 150);
  eval_test::reset_params();
}

}  // namespace
