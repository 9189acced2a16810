// The engine-facing probes: root move choice by distance to zeroing, the
// filters of the search probe, and the positions the tables cannot store
// (en passant, positions the root must not trust).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "board/board.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;

namespace {

struct RootAnswer {
  uint32_t result, wdl, dtz;
  uint16_t move;
};

RootAnswer root(const char* fen, int fifty = 0) {
  RootAnswer a{0, 99, 999, 0xFFFF};
  a.result = egtb_probe_root(board_at(fen, fifty), &a.wdl, &a.dtz, &a.move);
  return a;
}

// Signed distance of the position after `move` on the engine board.
int child_dtz(Board* b, Move move, int* wdl) {
  make_move(b, move);
  EgtbPosition child = egtb_position_from_board(b, b->fifty);
  int success;
  *wdl = egtb_probe_wdl(child, &success);
  int d = egtb_probe_dtz(child, &success);
  unmake_move(b);
  EXPECT_NE(success, 0);
  return d;
}

const char* const KQVK_WHITE = "8/8/8/8/8/2k5/8/KQ6 w - -";
const char* const KQVK_BLACK = "8/8/8/8/8/2k5/8/KQ6 b - -";

class Probe : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tarn_test::shared_exists("syzygy/KQvK.rtbw")) GTEST_SKIP() << "shared tables missing";
    setup_capturing(syzygy_dir());
    control.tb_probe_depth[0] = 1;
    control.tb_probe_depth[1] = 3;
  }
};

}  // namespace

// The winner keeps the win the quickest way, the loser puts the loss off
// as long as it can: among the legal moves (engine generator), the chosen
// one leaves the opponent the largest signed distance (for the winner, the
// one nearest zero among the opponent's losses). Random positions, so that
// the best move is sometimes the first one listed.
TEST_F(Probe, RootPlaysTheQuickestWinAndTheSlowestLoss) {
  std::vector<std::string> fens = {KQVK_WHITE, KQVK_BLACK};
  std::mt19937_64 rng(5);
  for (const char* name : {"KQvK", "KRvK"})
    for (int i = 0; i < 20; i++) fens.push_back(fen_of(random_position(codes_of(name), rng)));
  int losses = 0;
  for (const std::string& fen : fens) {
    RootAnswer a = root(fen.c_str());
    const bool winning = a.result == EGTB_WIN;
    if (!winning && a.result != EGTB_LOSS) continue;  // the piece hangs
    losses += !winning;
    EXPECT_EQ(a.wdl, a.result);
    EXPECT_TRUE(a.dtz > 0 && a.dtz <= 100) << a.dtz;
    Board* b = board_at(fen);
    int best = -(1 << 20), chosen = best;  // equal for a mated loser
    for (uint16_t move : legal_moves(b)) {
      int wdl, d = child_dtz(b, move, &wdl);
      if ((!winning || wdl < 0) && d > best) best = d;
      if (move == a.move) {
        EXPECT_EQ(wdl, winning ? -2 : 2) << fen;
        chosen = d;
      }
    }
    EXPECT_EQ(chosen, best) << fen;
  }
  EXPECT_GT(losses, 10);
}

TEST_F(Probe, FiftyMoveCounterDecidesRootResultButNotSearchProbe) {
  const char* fen = "8/8/8/8/8/2k5/8/KR6 w - -";
  RootAnswer fresh = root(fen);
  ASSERT_EQ(fresh.result, (uint32_t)EGTB_WIN);
  ASSERT_GT(fresh.dtz, 10u);
  int late = 100 - (int)fresh.dtz + 1;
  EXPECT_EQ(root(fen, late).result, (uint32_t)EGTB_CURSED_WIN);
  EXPECT_EQ(root(fen, late - 1).result, (uint32_t)EGTB_WIN);
  const char* losing = "8/8/8/8/8/2k5/8/KR6 b - -";
  RootAnswer loss = root(losing);
  ASSERT_EQ(loss.result, (uint32_t)EGTB_LOSS);
  EXPECT_EQ(root(losing, 100 - (int)loss.dtz).result, (uint32_t)EGTB_LOSS);
  EXPECT_EQ(root(losing, 101 - (int)loss.dtz).result, (uint32_t)EGTB_BLESSED_LOSS);
  // The search probe reads the counter as zero.
  EXPECT_EQ(egtb_search_wdl(board_at(fen, late), 5), (uint32_t)EGTB_WIN);
}

// The side not to move in check, a pawn on the last or the first rank, too
// many pieces for any table; a failed probe leaves the outputs alone.
TEST_F(Probe, RootRejectsPositionsItCannotTrust) {
  for (const char* fen : {"8/8/8/8/8/1k6/8/KQ6 w - -", "P7/8/8/8/8/2k5/8/K7 w - -", "8/8/8/8/8/2k5/8/K5p1 w - -",
                          "8/8/8/8/8/2k5/1q6/KQRB4 w - -"}) {
    RootAnswer a = root(fen);
    EXPECT_EQ(std::tuple(a.result, a.move, a.dtz), std::tuple(EGTB_NONE, 0xFFFF, 999u)) << fen;
  }
}

TEST_F(Probe, ForcedEnPassantCaptureThatLoses) {
  // Black's only legal move is axb3 e.p., after which it is lost; without the
  // capture the position would be stalemate, the table's draw.
  const char* fen = "8/8/8/8/pP6/k7/8/KR6 b - b3";
  EgtbPosition pos = position_from_fen(fen);
  int success;
  EXPECT_EQ(egtb_probe_wdl(pos, &success), -2);
  EXPECT_NE(success, 0);
  EXPECT_LT(egtb_probe_dtz(pos, &success), 0);
  RootAnswer a = root(fen);
  EXPECT_EQ(a.result, (uint32_t)EGTB_LOSS);
  EXPECT_EQ(a.move, make_move_word(24, 17));
  // Without the en-passant right it is the stalemate the table stores.
  pos.ep = 0;
  EXPECT_EQ(egtb_probe_wdl(pos, &success), 0);
}

TEST_F(Probe, DrawnRootChoosesTheSameDrawingMoveEveryTime) {
  const char* fen = "8/8/8/3k4/8/8/3P4/3K4 b - -";
  RootAnswer first = root(fen);
  ASSERT_EQ(first.result, (uint32_t)EGTB_DRAW);
  EXPECT_EQ(first.dtz, 0u);
  for (int i = 0; i < 3; i++) EXPECT_EQ(root(fen).move, first.move);
  Board* b = board_at(fen);
  int wdl;
  child_dtz(b, first.move, &wdl);
  EXPECT_EQ(wdl, 0);
}

TEST_F(Probe, SearchProbeFilters) {
  control.tb_probe_depth[0] = 4;
  EXPECT_EQ(egtb_search_wdl(board_at(KQVK_WHITE), 3), EGTB_NONE);
  EXPECT_EQ(egtb_search_wdl(board_at(KQVK_WHITE), 4), (uint32_t)EGTB_WIN);
  EXPECT_EQ(egtb_search_wdl(board_at(KQVK_BLACK), 4), (uint32_t)EGTB_LOSS);
  // Castling rights keep positions out of the tables.
  Board* castling = board_at("8/8/8/8/8/2k5/8/4K2R w - -");
  EXPECT_EQ(egtb_search_wdl(castling, 10), (uint32_t)EGTB_WIN);
  castling->castle = CASTLE_WK;
  EXPECT_EQ(egtb_search_wdl(castling, 10), EGTB_NONE);
  // More pieces than the largest table.
  EXPECT_EQ(egtb_search_wdl(board_at("8/8/8/8/8/2k5/1q6/KQRB4 w - -"), 10), EGTB_NONE);
}

// The verdict the search starts from. With a list of allowed root moves it
// is that of the best listed move: a listed move may only draw or lose what
// the position wins. An empty list allows every move.
TEST_F(Probe, SearchRootDecision) {
  const char* const ROOT_CHOICE = "";  // the move the root probe chooses
  struct Case {
    const char* fen;
    std::vector<const char*> listed;
    int history;
    int32_t result;
    const char* move;  // null: no root move
  } cases[] = {
      {KQVK_WHITE, {}, 10, EGTB_WIN, ROOT_CHOICE},
      {KQVK_WHITE, {}, 71, EGTB_WIN, nullptr},  // a long game history skips the root probe, not the verdict
      {KQVK_WHITE, {"a1a2"}, 10, EGTB_WIN, "a1a2"},
      {KQVK_WHITE, {"b1c2"}, 10, EGTB_DRAW, "b1c2"},  // the queen is taken
      {KQVK_WHITE, {"b1c2", "a1a2"}, 10, EGTB_WIN, "a1a2"},
      {KQVK_BLACK, {"c3c4"}, 10, EGTB_LOSS, "c3c4"},
      // Without the root probe, the position's own value would speak for
      // moves that are not listed: the search finds the value instead.
      {KQVK_WHITE, {"b1c2"}, 71, -1, nullptr},
  };
  for (const Case& c : cases) {
    RootMoves only{};
    for (const char* text : c.listed) add_root_move(only, coordinate_move(text));
    egtb_probe_search_root(board_at(c.fen), c.history, only);
    Move expected = !c.move ? 0 : c.move == ROOT_CHOICE ? root(c.fen).move : coordinate_move(c.move);
    EXPECT_EQ(std::pair(control.tb_root_result, control.tb_root_move), std::pair(c.result, expected))
        << c.fen << " " << c.listed.size() << " " << c.history;
  }
  // Without tables nothing is known.
  setup_capturing("<empty>");
  egtb_probe_search_root(board_at(KQVK_WHITE), 10, RootMoves{});
  EXPECT_EQ(std::pair(control.tb_root_result, control.tb_root_move), std::pair(-1, Move(0)));
  EXPECT_EQ(root(KQVK_WHITE).result, EGTB_NONE);
}
