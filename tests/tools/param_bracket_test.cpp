#include "tools/param_bracket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ParamBracket, WalksThenHalvesTheBracket) {
  std::vector<int> tried;
  std::vector<std::string> lines;
  BracketResult r = bracket_parameter(
      "knight_value_op", 100,
      [&](int v) {
        tried.push_back(v);
        return 0.1 + 1e-6 * (v - 130) * (v - 130);
      },
      [&](const char* text) { lines.push_back(text); });
  EXPECT_EQ(r.best, 130);
  // Downhill first fails, so the walk turns upward by round(|best| * 0.12) + 1.
  ASSERT_GE(tried.size(), 3u);
  EXPECT_EQ(std::vector<int>(tried.begin(), tried.begin() + 3), (std::vector<int>{100, 87, 113}));
  EXPECT_EQ(tried.back(), 130);
  EXPECT_LE(r.lo, 130);
  EXPECT_GT(r.hi, 130);
  EXPECT_EQ(lines[1], "tuning knight_value_op");
  EXPECT_EQ(lines[2], "knight_value_op= 100, err= 0.100900");
  EXPECT_EQ(lines[3], "best= 100, err= 0.100900, min= -10000, max= 10000");
  EXPECT_EQ(lines[lines.size() - 2], lines[lines.size() - 4]);  // the closing repeat

  // An ever-falling error walks for the whole 30 rounds.
  tried.clear();
  r = bracket_parameter(
      "p", 10, [&](int v) { tried.push_back(v); return 0.5 - v * 1e-6; }, [](const char*) {});
  EXPECT_EQ(tried.size(), 30u);
  EXPECT_EQ(r.hi, BRACKET_OPEN_HIGH);
  EXPECT_EQ(r.best, tried.back());
}
