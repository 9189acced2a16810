#include "tools/epd_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

TEST(EpdFields, OperationsReadBySubstring) {
  char word[16];
  epd_bm_word("r1b w - - bm Qxh7+; id \"x\";", word, sizeof word);
  EXPECT_STREQ(word, "Qxh7+");
  std::string long_line = "x w - - bm " + std::string(100, 'N') + ";";
  epd_bm_word(long_line.c_str(), word, sizeof word);
  EXPECT_EQ(std::string(word), std::string(15, 'N'));  // cut to the buffer

  // "ce" is held to 950 either way and needs its leading space.
  for (auto [line, ce] : {std::pair{"x w - - bm e4; ce -120;", -120}, {"x w - - bm Qg6; ce 32764; dm 2;", 950},
                          {"x w - - bm e4;ce 40;", 0}})
    EXPECT_EQ(epd_centipawns(line), ce) << line;
  // Any text after c9 is read; with no c9, the text after the side field.
  for (auto [line, result] : {std::pair{"x w - - bm e4; c9 \"1/2-1/2\";", 0.5}, {"x b - - c9 \"*\"; id \"0-1\";", 0.0},
                              {"1-0 x w - - c9 \"*\";", EPD_NO_RESULT}, {"x w KQ - 1-0", 1.0},
                              {"x w - - bm e4; id \"a\";", EPD_NO_RESULT}})
    EXPECT_EQ(epd_result(line), result) << line;
}

TEST(EpdFields, PhaseSelectionTakesEverySixteenthCountedFromThePhase) {
  PhaseSelector selector = phase_selector(3);
  std::string taken;
  for (int record = 1; record <= 50; record++)
    if (phase_take(selector)) taken += std::to_string(record) + " ";
  EXPECT_EQ(taken, "13 29 45 ");
  PhaseSelector tuner = phase_selector(0x80000000u | 5u);  // only the low bits choose
  int first = 0;
  for (int record = 1; record <= 16 && !first; record++)
    if (phase_take(tuner)) first = record;
  EXPECT_EQ(first, 11);
}

TEST(EpdFields, ErrorFigure) {
  // Score 100 against a win with ce 50: |0.6725 - (0.1 * 0.5889 + 0.9)|.
  double error = -1;
  ASSERT_TRUE(epd_record_error(100, 100, 50, 1.0, false, &error));
  EXPECT_NEAR(error, 0.2863890, 1e-7);
  ASSERT_TRUE(epd_record_error(100, 100, 50, 0.0, true, &error));  // flipped result
  EXPECT_NEAR(error, 0.2863890, 1e-7);

  EXPECT_FALSE(epd_record_error(100, 100, 50, EPD_NO_RESULT, false, &error));
  EXPECT_FALSE(epd_record_error(100, 90, 50, 1.0, false, &error));   // not quiet
  // Scores and ce values are used up to 700 either way.
  for (auto [score, ce, used] : {std::tuple{700, -700, true}, {-700, 700, true}, {701, 0, false},
                                 {-701, 0, false}, {0, 701, false}, {0, -701, false}})
    EXPECT_EQ(epd_record_error(score, score, ce, 0.5, false, &error), used) << score << " " << ce;
  EXPECT_FALSE(epd_record_error(0, 0, -700, 1.0, false, &error));  // ce far from the result
}
