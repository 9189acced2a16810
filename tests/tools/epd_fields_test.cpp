#include "tools/epd_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

TEST(EpdFields, LineSelection) {
  EXPECT_TRUE(epd_line_usable("8/8/8/8/8/8/8/K6k w - -"));
  EXPECT_FALSE(epd_line_usable(" 8/8/8/8/8/8/8/K6k w - -"));
  EXPECT_FALSE(epd_line_usable("#8/8/8/8/8/8/8/K6k w - -"));
  EXPECT_FALSE(epd_line_usable(";8/8/8/8/8/8/8/K6k w - -"));
  EXPECT_FALSE(epd_line_usable("123456789"));
  EXPECT_TRUE(epd_line_usable("1234567890"));
  EXPECT_FALSE(epd_line_usable(""));
}

TEST(EpdFields, BestMoveWord) {
  char word[16];
  epd_bm_word("r1b w - - bm Qxh7+; id \"x\";", word, sizeof word);
  EXPECT_STREQ(word, "Qxh7+");
  epd_bm_word("r1b w - - bm e7e8q id", word, sizeof word);
  EXPECT_STREQ(word, "e7e8q");
  epd_bm_word("r1b w - - id \"no move\";", word, sizeof word);
  EXPECT_STREQ(word, "");
  epd_bm_word("r1b w - - bm;", word, sizeof word);
  EXPECT_STREQ(word, "");
  // An absurdly long word is cut to the buffer, never past it.
  std::string line = "x w - - bm " + std::string(100, 'N') + ";";
  epd_bm_word(line.c_str(), word, sizeof word);
  EXPECT_EQ(std::string(word), std::string(15, 'N'));
}

TEST(EpdFields, CentipawnsAreClampedAndDefaultToZero) {
  EXPECT_EQ(epd_centipawns("x w - - bm e4; ce 35;"), 35);
  EXPECT_EQ(epd_centipawns("x w - - bm e4; ce -120;"), -120);
  EXPECT_EQ(epd_centipawns("x w - - acd 5; bm Qg6; ce 32764; dm 2;"), 950);
  EXPECT_EQ(epd_centipawns("x w - - ce -99999999999999999999;"), -950);
  EXPECT_EQ(epd_centipawns("x w - - bm e4;"), 0);
  EXPECT_EQ(epd_centipawns("x w - - bm e4;ce 40;"), 0);  // needs the leading space
}

TEST(EpdFields, ResultFromC9OrFromTheTextAfterTheSide) {
  EXPECT_EQ(epd_result("x w - - bm e4; ce 3; c9 \"1-0\";"), 1.0);
  EXPECT_EQ(epd_result("x b - - bm e4; ce 3; c9 \"0-1\";"), 0.0);
  EXPECT_EQ(epd_result("x w - - bm e4; ce 3; c9 \"1/2-1/2\";"), 0.5);
  EXPECT_EQ(epd_result("x w - - c9 \"*\"; id \"1-0\";"), 1.0);  // any later text counts
  EXPECT_EQ(epd_result("1-0 x w - - c9 \"*\";"), EPD_NO_RESULT);  // but only after c9
  EXPECT_EQ(epd_result("x w KQ - 1-0"), 1.0);
  EXPECT_EQ(epd_result("x b - - 0-1"), 0.0);
  EXPECT_EQ(epd_result("x b - - 1/2"), 0.5);
  EXPECT_EQ(epd_result("x w - - bm e4; id \"a\";"), EPD_NO_RESULT);
  EXPECT_EQ(epd_result("no side field 1-0"), EPD_NO_RESULT);
}

TEST(EpdFields, PhaseSelectionTakesEverySixteenthCountedFromThePhase) {
  PhaseSelector selector = phase_selector(3);
  std::string taken;
  for (int record = 1; record <= 50; record++)
    if (phase_take(selector)) taken += std::to_string(record) + " ";
  EXPECT_EQ(taken, "13 29 45 ");
  // The tuner's phases carry the top bit; only the low bits choose.
  PhaseSelector tuner = phase_selector(0x80000000u | 5u);
  int first = 0;
  for (int record = 1; record <= 16 && !first; record++)
    if (phase_take(tuner)) first = record;
  EXPECT_EQ(first, 11);
}

TEST(EpdFields, ErrorFigure) {
  double error = -1;
  // Quiet, in range: |p(score) - (0.1 p(ce) + 0.9 r)|.
  ASSERT_TRUE(epd_record_error(100, 100, 50, 1.0, false, &error));
  double ps = 1.0 / (1.0 + std::pow(10.0, -1.25 * 100 / 400.0));
  double pc = 1.0 / (1.0 + std::pow(10.0, -1.25 * 50 / 400.0));
  EXPECT_NEAR(error, std::fabs(ps - (0.1 * pc + 0.9)), 1e-12);
  EXPECT_NEAR(score_probability(0), 0.5, 1e-12);

  ASSERT_TRUE(epd_record_error(0, 0, 0, 0.5, false, &error));
  EXPECT_NEAR(error, 0.0, 1e-12);
  // The flip reads the result from the other side.
  ASSERT_TRUE(epd_record_error(100, 100, 50, 0.0, true, &error));
  EXPECT_NEAR(error, std::fabs(ps - (0.1 * pc + 0.9)), 1e-12);

  EXPECT_FALSE(epd_record_error(100, 100, 50, EPD_NO_RESULT, false, &error));
  EXPECT_FALSE(epd_record_error(100, 90, 50, 1.0, false, &error));   // not quiet
  EXPECT_FALSE(epd_record_error(701, 701, 50, 1.0, false, &error));  // score too large
  EXPECT_FALSE(epd_record_error(100, 100, -701, 0.0, false, &error));
  EXPECT_TRUE(epd_record_error(700, 700, -700, 0.5, false, &error));
  // A ce strongly against the result: p(-700) is about 0.0045, far from a win.
  EXPECT_FALSE(epd_record_error(0, 0, -700, 1.0, false, &error));
}
