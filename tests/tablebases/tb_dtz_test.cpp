// Probes of one position that must agree with its WDL value: the distance
// to zeroing (its sign and the fifty-move marks), and the position under the
// board's symmetries (mirrored files; for pawnless material mirrored ranks
// and the a1-h8 reflection; the colour-reversed position, which reads the
// other orientation of a table or the other stored side). And distances good
// enough to win: when both sides follow the root probe, the winner makes a
// capture or pawn move within the distance it was promised, and nobody's
// result ever changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

#include "board/attacks.h"
#include "board/board.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "eval/kpk.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;

namespace {

const char* const materials[] = {"KQvK",  "KRvK",   "KPvK",   "KQvKR",  "KBNvK",
                                 "KRvKP", "KPvKP", "KRPvKP", "KBBvKN", "KBNvKR"};
const char* const more_materials[] = {"KRvKB", "KQQvK", "KBvKB", "KQvKQ", "KRvKR", "KPPvK"};

// The position with every square mapped by `f`, colours reversed on request.
EgtbPosition transformed(EgtbPosition q, int (*f)(int), bool colours) {
  for (uint64_t EgtbPosition::*field : {&EgtbPosition::white, &EgtbPosition::black, &EgtbPosition::kings,
                                        &EgtbPosition::queens, &EgtbPosition::rooks, &EgtbPosition::bishops,
                                        &EgtbPosition::knights, &EgtbPosition::pawns}) {
    uint64_t from = q.*field;
    for (q.*field = 0; from; from &= from - 1) q.*field |= 1ULL << f(std::countr_zero(from));
  }
  if (colours) {
    std::swap(q.white, q.black);
    q.turn ^= 1;
  }
  return q;
}

bool is_zeroing(const Board* b, Move move) {
  int from = move_from(move), to = move_to(move);
  return piece_type(b->squares[from]) == PAWN || b->squares[to] != EMPTY;
}

// Plays the root probe's moves for both sides from a won position, the
// winner to move. Returns the number of plies played; records failures
// through gtest.
int play_out(const EgtbPosition& start) {
  Board* b = engine_board(start);
  uint32_t wdl, dtz;
  uint16_t move;
  int winner = b->side, deadline = 1 << 30, ply = 0;
  for (; ply < 400 && !::testing::Test::HasFailure(); ply++) {
    uint32_t result = egtb_probe_root(b, &wdl, &dtz, &move);
    if (result == EGTB_NONE) {
      // With five pieces a promotion may need a table the folder lacks; the
      // line then ends unresolved. Every smaller table is present.
      if (popcount(occupancy(b)) > 4 && !in_check(b)) break;
      // Otherwise only a finished game has no root answer: the loser is mated.
      EXPECT_NE(b->side, winner);
      EXPECT_TRUE(in_check(b)) << "no answer in a live position " << fen_of(egtb_position_from_board(b, 0));
      break;
    }
    bool winner_to_move = b->side == winner;
    EXPECT_EQ(result, winner_to_move ? (uint32_t)EGTB_WIN : (uint32_t)EGTB_LOSS) << "ply " << ply;
    // Either side's distance is a promise: the loser cannot put the zeroing
    // move off longer than its distance says either.
    deadline = std::min(deadline, ply + (int)dtz);
    EXPECT_TRUE(is_legal(b, b->side, move));
    if (is_zeroing(b, move)) {
      EXPECT_LE(ply, deadline);
      deadline = 1 << 30;
    }
    make_move(b, move);
  }
  return ply;
}

}  // namespace

TEST(Dtz, SignFiftyMoveMarksAndSymmetricImagesAgreeWithWdl) {
  TARN_REQUIRE_SHARED("syzygy/KBBvKN.rtbz");
  setup_capturing(syzygy_dir());
  auto files = [](int s) { return s ^ 7; };
  auto ranks = [](int s) { return s ^ 56; };
  auto diagonal = [](int s) { return 8 * (s & 7) + (s >> 3); };
  std::mt19937_64 rng(7);
  int spoiled = 0, resolved = 0;
  std::vector<const char*> names(std::begin(materials), std::end(materials));
  names.insert(names.end(), std::begin(more_materials), std::end(more_materials));
  for (const char* name : names)
    for (int i = 0; i < 300; i++) {
      EgtbPosition pos = random_position(codes_of(name), rng);
      int s1, s2;
      int wdl = egtb_probe_wdl(pos, &s1);
      int dtz = egtb_probe_dtz(pos, &s2);
      // Promotions in the five-piece tables lead to tables the folder lacks.
      if (s1 == 0 || s2 == 0) continue;
      resolved++;
      EXPECT_EQ((dtz > 0) - (dtz < 0), (wdl > 0) - (wdl < 0)) << fen_of(pos);
      EXPECT_EQ(dtz > 100 || dtz < -100, wdl == 1 || wdl == -1) << fen_of(pos);
      spoiled += wdl == 1 || wdl == -1;
      std::vector<EgtbPosition> images = {transformed(pos, files, false), transformed(pos, ranks, true)};
      if (!pos.pawns) images.insert(images.end(), {transformed(pos, ranks, false), transformed(pos, diagonal, false)});
      for (const EgtbPosition& image : images) {
        EXPECT_EQ(egtb_probe_wdl(image, &s1), wdl) << fen_of(pos) << " vs " << fen_of(image);
        EXPECT_NE(s1, 0) << fen_of(image);
      }
    }
  // KBBvKN and KBNvKR have wins that need more than fifty moves.
  EXPECT_GT(spoiled, 0);
  EXPECT_GT(resolved, 4500);
}

TEST(Dtz, RootMovesConvertWins) {
  TARN_REQUIRE_SHARED("syzygy/KRPvKP.rtbz");
  setup_capturing(syzygy_dir());
  std::mt19937_64 rng(11);
  int plies = 0;
  for (const char* name : materials) {
    int lines = 0, tries = 0;
    while (lines < 3 && tries++ < 2000) {
      EgtbPosition pos = random_position(codes_of(name), rng);
      int s;
      if (egtb_probe_wdl(pos, &s) != 2 || egtb_probe_dtz(pos, &s) > 60) continue;
      uint32_t wdl, dtz;
      uint16_t move;
      if (egtb_probe_root(engine_board(pos), &wdl, &dtz, &move) != EGTB_WIN) continue;
      plies += play_out(pos);
      lines++;
      if (::testing::Test::HasFailure()) return;
    }
  }
  EXPECT_GT(plies, 300);
}

TEST(Dtz, KpkBitbaseAgreesWithTable) {
  TARN_REQUIRE_SHARED("syzygy/KPvK.rtbw");
  setup_capturing(syzygy_dir());
  init_kpk();
  long checked = 0;
  int disagreements = 0;
  for (int colour = 0; colour < 2; colour++)
    for (int pawn = 8; pawn < 56; pawn++)
      for (int wk = 0; wk < 64; wk++)
        for (int bk = 0; bk < 64; bk++)
          for (int side = 0; side < 2; side++) {
            int codes[3] = {6, 14, colour ? 9 : 1}, squares[3] = {wk, bk, pawn};
            EgtbPosition pos;
            if (!place(&pos, codes, squares, 3, side == 0) || !egtb_root_position_valid(pos)) continue;
            int success;
            int wdl = egtb_probe_wdl(pos, &success);
            ASSERT_NE(success, 0);
            bool table_win = side == colour ? wdl > 0 : wdl < 0;
            bool bitbase_win = probe_kpk_squares(colour, pawn, wk, bk, side) != 0;
            checked++;
            if (table_win != bitbase_win && ++disagreements <= 5)
              ADD_FAILURE() << fen_of(pos) << " table " << wdl << " bitbase " << bitbase_win;
          }
  EXPECT_EQ(disagreements, 0);
  EXPECT_GT(checked, 300000);
}
