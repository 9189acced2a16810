#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "eval/evaluate.h"
#include "search/aspiration.h"
#include "search/pruning.h"
#include "search/search.h"
#include "search_support.h"

// The thresholds below are worked out by hand from the rules with the
// default parameters: FP_depth 3, FP_margin 150, SEP_depth 3, SEP_margin 75,
// NMP_depth 3.
namespace {

constexpr NodeFlags plain{};

// Each exemption on its own, for checking that every one of them blocks:
// PV node, few pieces, in check, promised fail low, promised fail high.
const NodeFlags each_flag[5] = {{true}, {false, true}, {false, false, true}, {false, false, false, true},
                                {false, false, false, false, true}};

std::pair<int, int> bounds(const Window& w) { return {w.lo, w.hi}; }

TEST(Pruning, FutilityDropThresholds) {
  const std::tuple<int, int, int, int, bool> cases[] = {  // depth, eval, alpha, FP_depth, drop
      {1, -150, 0, 3, true},   {1, -149, 0, 3, false},  {2, -200, 100, 3, true}, {2, -199, 100, 3, false},
      {3, -350, 100, 3, true}, {3, -349, 100, 3, false}, {4, -9000, 100, 3, false},  // beyond FP_depth
      {4, -500, 100, 4, true}, {4, -499, 100, 4, false},
  };
  for (const auto& [depth, eval, alpha, fp_depth, drop] : cases)
    EXPECT_EQ(futility_drop(depth, eval, alpha, plain, fp_depth, 150), drop) << depth << " " << eval;
  // Blocked at PV nodes, with few pieces, in check and when the table
  // promises a fail high; a promised fail low does not block.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(futility_drop(1, -1000, 0, each_flag[i], 3, 150), i == 3) << i;

  // Material of both sides below 4 is few: a lone minor piece (3), not 2 + 2 or 4.
  for (auto [white, black, few] : {std::tuple{3, 0, true}, {0, 3, true}, {2, 2, false}, {4, 0, false}})
    EXPECT_EQ(few_pieces(white, black), few) << white << " " << black;
}

TEST(Pruning, StaticEvalVerdicts) {
  // The margin grows by 75 a ply; below it the threat test decides at
  // depths 1 and 2, nothing at depth 3. Half the threat (truncated) must fit
  // in the surplus, and no threat value lowers the floor of more than 24
  // above beta.
  const std::tuple<int, int, int, int, SepVerdict> cases[] = {  // depth, eval, beta, threat, verdict
      {1, 75, 0, 0, SEP_CUT},    {1, 74, 0, 0, SEP_CUT_IF_SAFE},    {1, 25, 0, 0, SEP_CUT_IF_SAFE},
      {1, 24, 0, 0, SEP_NONE},   {2, 250, 100, 0, SEP_CUT},         {2, 249, 100, 0, SEP_CUT_IF_SAFE},
      {3, 175, -50, 0, SEP_CUT}, {3, 174, -50, 0, SEP_NONE},        {4, 9000, 0, 0, SEP_NONE},  // beyond SEP_depth
      {1, 100, 0, 201, SEP_CUT}, {1, 99, 0, 201, SEP_NONE},         {1, 99, 0, 199, SEP_CUT},
      {2, 149, 0, 297, SEP_CUT_IF_SAFE}, {2, 149, 0, 301, SEP_NONE}, {1, 30, 0, -400, SEP_CUT_IF_SAFE},
      {1, 24, 0, -400, SEP_NONE},
  };
  for (const auto& [depth, eval, beta, threat, verdict] : cases)
    EXPECT_EQ(static_eval_verdict(depth, eval, beta, threat, plain, 3, 75), verdict)
        << depth << " " << eval << " " << threat;
  // Blocked at PV nodes, with few pieces, in check and on a promised fail
  // low; a promised fail high does not block.
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(static_eval_verdict(1, 500, 0, 0, each_flag[i], 3, 75), i == 4 ? SEP_CUT : SEP_NONE) << i;
}

TEST(Pruning, ProbCutConditions) {
  for (auto [depth, eval, beta, allowed] :
       {std::tuple{5, 125, 100, true}, {5, 124, 100, false}, {4, 9000, 100, false}, {20, -275, -300, true}})
    EXPECT_EQ(probcut_allowed(depth, eval, beta, plain), allowed) << depth << " " << eval << " " << beta;
  for (int i : {0, 1, 3, 4}) EXPECT_EQ(probcut_allowed(6, 500, 0, each_flag[i]), i == 4) << i;

  // With SEP_depth raised to 6, a depth-5 node far enough above beta is
  // cut statically before ProbCut is asked; a smaller surplus goes to it.
  EXPECT_EQ(static_eval_verdict(5, 375, 0, 0, plain, 6, 75), SEP_CUT);
  EXPECT_EQ(static_eval_verdict(5, 374, 0, 0, plain, 6, 75), SEP_NONE);
  EXPECT_TRUE(probcut_allowed(5, 374, 0, plain));
}

TEST(Pruning, NullMoveConditionsAndDepths) {
  auto allowed = [](int depth, int eval, int beta, const NodeFlags& f = plain, bool recent_null = false) {
    return null_move_allowed(depth, eval, beta, f, recent_null, 3);
  };
  for (auto [depth, eval, beta, yes] : {std::tuple{3, 12, 0, true}, {3, 11, 0, false}, {2, 9000, 0, false},
                                        {30, -188, -200, true}})
    EXPECT_EQ(allowed(depth, eval, beta), yes) << depth << " " << eval << " " << beta;
  EXPECT_FALSE(allowed(5, 500, 0, plain, true));  // a null move one or two plies up
  for (int i = 0; i < 5; ++i) EXPECT_EQ(allowed(5, 500, 0, each_flag[i]), i == 4) << i;

  // R is 4 from depth 8 with more material than a rook alone (5), else 3.
  for (auto [depth, material, r] : {std::tuple{7, 30, 3}, {8, 6, 4}, {8, 5, 3}})
    EXPECT_EQ(null_move_reduction(depth, material), r) << depth << " " << material;
  for (auto [depth, r, child] : {std::tuple{3, 3, 0}, {4, 3, 0}, {5, 3, 1}, {8, 4, 3}})
    EXPECT_EQ(null_move_child_depth(depth, r), child) << depth << " " << r;
  // A fail high cuts at depth 4; from depth 5 the node goes on 4 plies
  // shallower.
  for (auto [depth, next] : {std::pair{3, 0}, {4, 0}, {5, 1}, {12, 8}})
    EXPECT_EQ(null_move_continue_depth(depth), next) << depth;
}

TEST(Aspiration, WindowsByDepthAndScore) {
  // Bounds open fully once they enter the mate band.
  const std::tuple<int, int, int, int> cases[] = {  // depth, previous score, bounds
      {1, 300, -MATE, MATE},    {1, -300, -MATE, MATE},      {2, 40, -210, 290},
      {3, 0, -48, 48},          {11, 0, -16, 16},            {12, 0, -15, 15},  // the floor of 15 from depth 12 on
      {15, -160, -185, -135},   {40, 33, 16, 50},            {2, 9446, 9196, 9696},
      {2, 9447, 9197, MATE},    {2, -9447, -9697, -9197},    {2, -9448, -MATE, -9198},
      {20, 9600, 9600 - 15 - 600, MATE},
  };
  for (const auto& [depth, previous, lo, hi] : cases)
    EXPECT_EQ(bounds(aspiration_window(depth, previous)), std::pair(lo, hi)) << depth << " " << previous;
}

TEST(Aspiration, WideningSteps) {
  // After a null-window fail high the upper bound grows by 25, 50, 100, 200
  // above best + 1, and opens fully past 9696.
  auto raised = [](int hi, int times) {
    std::vector<int> bounds;
    for (int step = 1; times-- > 0;) bounds.push_back(hi = open_upper(hi + (step = widen_step(step))));
    return bounds;
  };
  EXPECT_EQ(raised(31, 5), (std::vector<int>{56, 106, 206, 406, 806}));
  EXPECT_EQ(raised(9601, 3), (std::vector<int>{9626, 9676, MATE}));
  for (auto [step, next] : {std::pair{12, 25}, {13, 26}, {250, 500}}) EXPECT_EQ(widen_step(step), next) << step;

  // An aspiration fail moves only the failed side, by a step that doubles
  // from the half-width: at depth 3 around 0, 96, 192, 384. On the reported
  // line a fail low moves the bound one step; elsewhere it moves it one
  // step and then one more while the score is still on or below it.
  // The score, then the bounds on the reported line and elsewhere.
  const std::tuple<int, int, int, int, int> fails[] = {
      {-48, -144, 48, -144, 48},     // a score on the bound fails low
      {-500, -336, 48, -528, 48},    // still below after one step: twice
      {48, -336, 432, -528, 432},    // a fail high leaves the lower bound
  };
  Window reported = aspiration_window(3, 0);
  Window elsewhere = reported;
  int step = aspiration_width(3, 0);
  for (const auto& [v, lo_reported, hi_reported, lo_elsewhere, hi_elsewhere] : fails) {
    step = widen_step(step);
    reported = widen_window(reported, v, step, true);
    elsewhere = widen_window(elsewhere, v, step, false);
    EXPECT_EQ(bounds(reported), std::pair(lo_reported, hi_reported)) << v;
    EXPECT_EQ(bounds(elsewhere), std::pair(lo_elsewhere, hi_elsewhere)) << v;
  }
  EXPECT_EQ(widen_window({-48, 48}, -200, 96, false).lo, -240);
  EXPECT_EQ(bounds(widen_window({-10, 10}, 0, 50, false)), std::pair(-10, 10));
  EXPECT_EQ(widen_window({-9620, 9650}, -9700, 48, true).lo, -9668);
  EXPECT_EQ(widen_window({-9620, 9650}, -9700, 48, false).lo, -MATE);  // -9668, then past -9697
  EXPECT_EQ(widen_window({-9650, 9650}, 9660, 46, true).hi, 9696);
  EXPECT_EQ(widen_window({-9650, 9650}, 9660, 47, true).hi, MATE);
}

// A later root move is tested against the best with a window that opens in
// the mate band but never closes: once a mate is the best, a window of
// (-MATE, -MATE) for the child would let its mate-distance test answer
// "mate in 1" without a search.
TEST(Aspiration, NullWindowNeverCloses) {
  const std::tuple<int, int, int> cases[] = {  // best, bounds
      {30, 30, 31},         {9695, 9695, 9696},    {9696, 9696, MATE},   {9969, 9969, MATE},
      {9998, 9998, MATE},   {-9697, -9697, -9696}, {-9698, -MATE, -9697}, {-9980, -MATE, -9979},
      {-9999, -MATE, -9998},
  };
  for (const auto& [best, lo, hi] : cases) EXPECT_EQ(bounds(null_window(best)), std::pair(lo, hi)) << best;
  for (int best = -9999; best < MATE - 1; ++best) {
    const Window w = null_window(best);
    ASSERT_TRUE(w.lo <= best && w.hi > best) << best;
  }
}

// The console's evaluation views show this score: it must see the capture
// that standing pat misses, and in check it must search the evasions.
TEST(Quiescence, ScoreOfTheGamePosition) {
  SearchThread* t = search_test::worker();
  search_test::set_position("4k3/8/8/3q4/8/8/3R4/4K3 w - -");  // the rook takes a free queen
  const int static_score = evaluate(t, t->board.side, 1, 0);
  EXPECT_GT(quiescence_score(t), static_score + 500);
  search_test::set_position("6k1/5ppp/8/8/8/8/8/3R2K1 w - -");
  search_test::play("d1d8");
  EXPECT_EQ(quiescence_score(t), 1 - MATE);  // mated at the root
}

}  // namespace
