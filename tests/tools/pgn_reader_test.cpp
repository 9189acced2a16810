#include "tools/pgn_reader.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(PgnComments, Scores) {
  // "eval" values are white's view and turn round after black's moves; the
  // others are already the mover's view.
  for (auto [text, after_black, score] : {
           std::tuple{"+0.35/12 0.080s", false, 35}, {"-1.43/5 0.012s", true, -143}, {" +0.20/3", false, 20},
           {"-M5/20", false, -9000}, {"+M3/9", true, 9000}, {"out of book +1.00/3", false, 0},
           {"0.35/12", false, PGN_BAD_SCORE} /* no sign */, {"just a remark", false, PGN_BAD_SCORE},
           {"+900.00/1", false, 9999} /* held inside the record */, {"+99999999.00/1", false, 9999},
           {"+nan/3", false, PGN_BAD_SCORE} /* no number to clamp */, {"-inf/3", false, -9999},
           {"eval 57, depth 9", false, 57}, {"eval 57, depth 9", true, -57}, {"eval , depth 9", true, PGN_BAD_SCORE}})
    EXPECT_EQ(comment_score(text, after_black), score) << text << " " << after_black;
  EXPECT_FALSE(pgn_has_score(PGN_BAD_SCORE));
  EXPECT_TRUE(pgn_has_score(-9000));
}
