// The board's symmetries must not change a table's answer: mirrored files,
// for pawnless material mirrored ranks and the a1-h8 reflection, and the
// colour-reversed position (sides, ranks and side to move exchanged), which
// reads the other orientation of a table or the other stored side.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;

namespace {

uint64_t map_squares(uint64_t b, const std::function<int(int)>& f) {
  uint64_t out = 0;
  for (; b; b &= b - 1) out |= 1ULL << f(__builtin_ctzll(b));
  return out;
}

EgtbPosition transformed(const EgtbPosition& p, const std::function<int(int)>& f, bool colours) {
  EgtbPosition q = p;
  for (uint64_t EgtbPosition::*field : {&EgtbPosition::white, &EgtbPosition::black, &EgtbPosition::kings,
                                        &EgtbPosition::queens, &EgtbPosition::rooks, &EgtbPosition::bishops,
                                        &EgtbPosition::knights, &EgtbPosition::pawns})
    q.*field = map_squares(p.*field, f);
  if (colours) {
    std::swap(q.white, q.black);
    q.turn ^= 1;
  }
  return q;
}

}  // namespace

TEST(Symmetry, MirroredAndColourReversedPositionsProbeAlike) {
  TARN_REQUIRE_SHARED("syzygy/KBBvKN.rtbw");
  setup_capturing(syzygy_dir());
  const char* const materials[] = {"KQvKR", "KRvKB", "KQQvK", "KBNvK",  "KBvKB",  "KQvKQ",  "KPvK",
                                   "KRvKP", "KPvKP", "KRvKR", "KPPvK", "KBBvKN", "KRPvKP"};
  auto files = [](int s) { return s ^ 7; };
  auto ranks = [](int s) { return s ^ 56; };
  auto diagonal = [](int s) { return 8 * (s & 7) + (s >> 3); };
  std::mt19937_64 rng(31);
  int compared = 0;
  for (const char* name : materials) {
    for (int n = 0; n < 250; n++) {
      EgtbPosition pos = random_position(codes_of(name), rng);
      int s0, s1;
      int v = egtb_probe_wdl(pos, &s0);
      if (!s0) continue;
      std::vector<EgtbPosition> images = {transformed(pos, files, false), transformed(pos, ranks, true)};
      if (!pos.pawns) {
        images.push_back(transformed(pos, ranks, false));
        images.push_back(transformed(pos, diagonal, false));
      }
      for (const EgtbPosition& image : images) {
        EXPECT_EQ(egtb_probe_wdl(image, &s1), v) << fen_of(pos) << " vs " << fen_of(image);
        EXPECT_NE(s1, 0);
      }
      compared++;
    }
  }
  EXPECT_GT(compared, 2500);
}
