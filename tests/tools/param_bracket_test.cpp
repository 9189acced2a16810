#include "tools/param_bracket.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct BracketRun {
  BracketResult result;
  std::vector<int> tried;
  std::vector<std::string> lines;
};

BracketRun run_bracket(int start, const std::function<double(int)>& error) {
  BracketRun run;
  run.result = bracket_parameter(
      "knight_value_op", start,
      [&](int value) {
        run.tried.push_back(value);
        return error(value);
      },
      [&](const char* text) { run.lines.push_back(text); });
  return run;
}

}  // namespace

TEST(ParamBracket, FindsTheMinimumOfABowl) {
  BracketRun run = run_bracket(100, [](int v) { return 0.1 + 1e-6 * (v - 130) * (v - 130); });
  EXPECT_EQ(run.result.best, 130);
  EXPECT_NEAR(run.result.best_err, 0.1, 1e-12);
  // Downhill first fails, so the walk turns upward by round(|best| * 0.12) + 1.
  ASSERT_GE(run.tried.size(), 3u);
  EXPECT_EQ(run.tried[0], 100);
  EXPECT_EQ(run.tried[1], 87);
  EXPECT_EQ(run.tried[2], 113);
  EXPECT_LE(run.tried.size(), 30u);
  EXPECT_LE(run.result.lo, 130);
  EXPECT_GT(run.result.hi, 130);
  EXPECT_EQ(run.tried.back(), 130);  // the last try halved the bracket onto the best
  EXPECT_EQ(run.lines[0], "");
  EXPECT_EQ(run.lines[1], "tuning knight_value_op");
  EXPECT_EQ(run.lines[2], "knight_value_op= 100, err= 0.100900");
  EXPECT_EQ(run.lines[3], "best= 100, err= 0.100900, min= -10000, max= 10000");
  EXPECT_EQ(run.lines[4], "");
  // The closing report repeats the final bracket.
  EXPECT_EQ(run.lines[run.lines.size() - 2], run.lines[run.lines.size() - 4]);
}

TEST(ParamBracket, FlatErrorAndTheRoundLimit) {
  // An error that never improves on 1.0 keeps the start value.
  BracketRun flat = run_bracket(50, [](int) { return 1.0; });
  EXPECT_EQ(flat.result.best, 50);
  EXPECT_DOUBLE_EQ(flat.result.best_err, 1.0);
  // An ever-falling error walks for the whole 30 rounds.
  BracketRun falling = run_bracket(10, [](int v) { return 0.5 - v * 1e-6; });
  EXPECT_EQ(falling.tried.size(), 30u);
  EXPECT_EQ(falling.result.lo, falling.tried[28]);
  EXPECT_EQ(falling.result.hi, BRACKET_OPEN_HIGH);
  EXPECT_EQ(falling.result.best, falling.tried[29]);
}
