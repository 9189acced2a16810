// Every table value must agree with the game itself: a position is won
// exactly when some legal move reaches a lost position, lost exactly when
// every move reaches a won one (or it is mate), drawn otherwise. This
// exercises the registry, the decoder and the indexing of every table at
// once, since a wrong index or value almost never stays consistent.
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

// The WDL sign the successors imply, found with the engine's own move
// generator; also checks that the tablebase generator sees the same number
// of legal moves.
int successor_sign(const EgtbPosition& pos, bool* ok) {
  Board* board = engine_board(pos);
  std::vector<uint16_t> legal = legal_moves(board);
  int best = -3;
  for (uint16_t move : legal) {
    make_move(board, move);
    int success;
    int v = -egtb_probe_wdl(egtb_position_from_board(board, 0), &success);
    unmake_move(board);
    if (!success) *ok = false;
    if (sign(v) > best) best = sign(v);
  }
  EgtbMove moves[EGTB_MAX_MOVES];
  EgtbPosition next;
  int n = egtb_gen_moves(pos, moves), own_legal = 0;
  for (int i = 0; i < n; i++) own_legal += egtb_do_move(&next, pos, moves[i]);
  if (own_legal != (int)legal.size()) *ok = false;
  if (best == -3) return egtb_in_check(pos) ? -1 : 0;
  return best;
}

const char* const small_signatures[] = {
    "KQvK", "KRvK", "KBvK", "KNvK", "KPvK", "KQQvK", "KQRvK", "KQBvK", "KQNvK", "KQPvK", "KRRvK", "KRBvK",
    "KRNvK", "KRPvK", "KBBvK", "KBNvK", "KBPvK", "KNNvK", "KNPvK", "KPPvK", "KQvKQ", "KQvKR", "KQvKB",
    "KQvKN", "KQvKP", "KRvKR", "KRvKB", "KRvKN", "KRvKP", "KBvKB", "KBvKN", "KBvKP", "KNvKN", "KNvKP", "KPvKP"};

// Checks one placement with both sides to move and every plausible
// en-passant square; returns the number of positions checked.
int check_placement(EgtbPosition pos, const std::string& name, int* failures) {
  int checked = 0;
  for (int turn = 0; turn < 2; turn++) {
    pos.turn = (uint8_t)turn;
    pos.ep = 0;
    if (egtb_mover_in_check(pos)) continue;
    std::vector<int> eps = {0};
    // A pawn of the side not to move that could just have made a double step.
    uint64_t own = turn ? pos.black : pos.white;
    uint64_t occupied = pos.white | pos.black;
    for (uint64_t b = pos.pawns & own; b; b &= b - 1) {
      int s = std::countr_zero(b);
      int behind = turn ? s + 8 : s - 8, start = turn ? s + 16 : s - 16;
      if ((turn ? (s >> 3) == 4 : (s >> 3) == 3) && !(occupied >> behind & 1) && !(occupied >> start & 1))
        eps.push_back(behind);
    }
    for (int ep : eps) {
      pos.ep = (uint8_t)ep;
      if (ep && !egtb_en_passant_attackers(pos)) continue;
      int success;
      int v = egtb_probe_wdl(pos, &success);
      bool ok = success != 0;
      int expected = successor_sign(pos, &ok);
      checked++;
      if (!ok || sign(v) != expected) {
        if (++*failures <= 5)
          ADD_FAILURE() << name << " white " << pos.white << " black " << pos.black << " turn " << turn
                        << " ep " << ep << ": table " << v << " successors " << expected << " ok " << ok;
      }
    }
  }
  return checked;
}

// Every placement of the material, the white king on files a-d (and in the
// a1-d1-d4 triangle without pawns): the other placements are mirror images.
void check_every_placement(const std::string& name, int* failures) {
  std::vector<int> codes = codes_of(name), sq(codes.size());
  int n = (int)codes.size();
  bool pawns = name.find('P') != std::string::npos;
  EgtbPosition pos;
  for (uint64_t index = 0; index < 1ULL << 6 * n; index++) {
    for (int i = 0; i < n; i++) sq[i] = index >> 6 * i & 63;
    if ((sq[0] & 7) > 3 || (!pawns && (sq[0] >> 3) > (sq[0] & 7))) continue;
    if (place(&pos, codes.data(), sq.data(), n, true) && !pawn_on_edge_rank(pos)) check_placement(pos, name, failures);
  }
}

}  // namespace

// TARN_TB_EXHAUSTIVE=1 checks every placement instead of a sample (the
// better part of an hour of one core); =k/n only every n-th table from the
// k-th, so that the run can be spread over processes.
TEST(TableAgreement, EverySmallTable) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  setup_capturing(syzygy_dir());
  const char* exhaustive = std::getenv("TARN_TB_EXHAUSTIVE");
  int first = 0, step = 1;
  if (exhaustive && (std::sscanf(exhaustive, "%d/%d", &first, &step) != 2 || step < 1)) first = 0, step = 1;
  std::mt19937_64 rng(20261206);
  for (int t = first; t < (int)std::size(small_signatures); t += step) {
    const char* name = small_signatures[t];
    int failures = 0;
    if (exhaustive)
      check_every_placement(name, &failures);
    else
      for (int checked = 0; checked < 3000;)
        checked += check_placement(random_position(codes_of(name), rng), name, &failures);
    EXPECT_EQ(failures, 0) << name;
  }
}
