#include "tools/match_record.h"

#include <cmath>

void match_score_line(const MatchScore& score, char* out, int size) {
  double points = (score.wins + 0.5 * score.draws) / score.games;
  double margin = 1.5 * std::sqrt(score.games + 10.0) / (score.games + 1);
  bool outside = points < 0.5 - margin || points > 0.5 + margin;
  char mark = score.games > 200 && outside ? '*' : ' ';
  std::snprintf(out, size, "%4d games,  %3d %3d %3d  %0.3f (+/- %0.3f) %c", score.games,
                score.wins, score.losses, score.draws, points, margin, mark);
}

void match_count_result(MatchScore& score, int result, int test_colour) {
  if (result == 2) {
    score.draws++;
  } else if (result == test_colour) {
    score.wins++;
  } else {
    score.losses++;
  }
}

const char* match_result_text(int result) {
  if (result == 0) return "1-0";
  if (result == 1) return "0-1";
  return "1/2-1/2";
}

void write_match_game(FILE* file, int game_number, int test_colour, int result,
                      const MatchGame& game) {
  std::fprintf(file, "[Event selfplay]\n");
  std::fprintf(file, "[Game %d]\n", game_number);
  std::fprintf(file, "[White \"%s\"]\n", test_colour == 0 ? "Player1" : "Player2");
  std::fprintf(file, "[Black \"%s\"]\n", test_colour == 0 ? "Player2" : "Player1");
  std::fprintf(file, "[Result \"%s\"]\n", match_result_text(result));
  for (int i = 0; i < game.plies; i++) {
    const MatchMove& move = game.moves[i];
    if (i & 1) std::fprintf(file, "   ");
    std::fprintf(file, "%s {%0.2f/%d}", move.text, move.score / 100.0, move.depth);
    if (i & 1) std::fprintf(file, "\n");
  }
  std::fprintf(file, "\n\n");
  std::fflush(file);
}
