#include "tools/match_record.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

std::string score_line(int games, int wins, int losses, int draws) {
  char text[128];
  match_score_line(MatchScore{games, wins, losses, draws}, text, sizeof text);
  return text;
}

}  // namespace

TEST(MatchScore, LineMarginAndMark) {
  // 201 games at 0.6: margin 1.5 * sqrt(211) / 202 = 0.108, inside it.
  EXPECT_EQ(score_line(201, 100, 60, 41), " 201 games,  100  60  41  0.600 (+/- 0.108)  ");
  EXPECT_EQ(score_line(201, 105, 55, 41), " 201 games,  105  55  41  0.624 (+/- 0.108) *");
  EXPECT_EQ(score_line(201, 76, 125, 0), " 201 games,   76 125   0  0.378 (+/- 0.108) *");
  EXPECT_EQ(score_line(200, 200, 0, 0), " 200 games,  200   0   0  1.000 (+/- 0.108)  ");

  // Results (white won, black won, drawn) and the test side (white, black).
  MatchScore score{1, 0, 0, 0};
  for (auto [result, side] : {std::pair{0, 0}, {0, 1}, {1, 1}, {2, 0}}) match_count_result(score, result, side);
  EXPECT_EQ(std::tuple(score.wins, score.losses, score.draws), std::tuple(2, 1, 1));
  for (auto [result, text] : {std::pair{0, "1-0"}, {1, "0-1"}, {2, "1/2-1/2"}})
    EXPECT_STREQ(match_result_text(result), text) << result;
}

TEST(MatchScore, GameFileLayout) {
  static MatchGame game;
  game.plies = 3;
  game.moves[0] = MatchMove{"e2e4", 0, 0};
  game.moves[1] = MatchMove{"e7e5", -15, 9};
  game.moves[2] = MatchMove{"g1f3", 1234, 11};
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  write_match_game(file, 7, 1, 1, game);
  std::rewind(file);
  char buffer[512];
  buffer[std::fread(buffer, 1, sizeof buffer - 1, file)] = 0;
  std::fclose(file);
  EXPECT_STREQ(buffer,
               "[Event selfplay]\n[Game 7]\n[White \"Player2\"]\n[Black \"Player1\"]\n"
               "[Result \"0-1\"]\ne2e4 {0.00/0}   e7e5 {-0.15/9}\ng1f3 {12.34/11}\n\n");
}
