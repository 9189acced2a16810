#include "tools/pgn_reader.h"

#include <gtest/gtest.h>


TEST(PgnComments, Scores) {
  EXPECT_EQ(comment_score("+0.35/12 0.080s", false), 35);
  EXPECT_EQ(comment_score("-1.43/5 0.012s", true), -143);  // already the mover's view
  EXPECT_EQ(comment_score(" +0.20/3", false), 20);
  EXPECT_EQ(comment_score("-M5/20", false), -9000);
  EXPECT_EQ(comment_score("+M3/9", true), 9000);
  EXPECT_EQ(comment_score("out of book +1.00/3", false), 0);
  EXPECT_EQ(comment_score("0.35/12", false), PGN_BAD_SCORE);  // no sign
  EXPECT_EQ(comment_score("just a remark", false), PGN_BAD_SCORE);
  EXPECT_EQ(comment_score("+900.00/1", false), 9999);  // held inside the record
  EXPECT_EQ(comment_score("+99999999.00/1", false), 9999);  // beyond a 32-bit long too
  EXPECT_EQ(comment_score("+nan/3", false), PGN_BAD_SCORE);  // no number to clamp
  EXPECT_EQ(comment_score("-inf/3", false), -9999);
  // "eval" values are white's view and turn round after black's moves.
  EXPECT_EQ(comment_score("eval 57, depth 9", false), 57);
  EXPECT_EQ(comment_score("eval 57, depth 9", true), -57);
  EXPECT_EQ(comment_score("eval , depth 9", true), PGN_BAD_SCORE);
  EXPECT_FALSE(pgn_has_score(PGN_BAD_SCORE));
  EXPECT_TRUE(pgn_has_score(-9000));
}
