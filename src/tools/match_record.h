#pragma once
// The bookkeeping of a self-play match: the running score with its error
// margin, and the text of one finished game.
#include <cstdint>
#include <cstdio>

constexpr int MATCH_MAX_PLIES = 1024;

struct MatchScore {
  int games;   // counts the game in progress, so it starts at 1
  int wins, losses, draws;  // from the test side's view
};

// Fills the score line: "%4d games,  %3d %3d %3d  %0.3f (+/- %0.3f) %c".
// The mark '*' flags a result outside the margin once more than 200 games
// are in; before that the margin itself is too rough to trust.
void match_score_line(const MatchScore& score, char* out, int size);

// Counts a finished game. result: 0 white won, 1 black won, 2 draw.
void match_count_result(MatchScore& score, int result, int test_colour);

struct MatchMove {
  char text[9];   // origin and destination names
  int16_t score;  // centipawns from the mover's view
  int16_t depth;
};

struct MatchGame {
  int plies;
  MatchMove moves[MATCH_MAX_PLIES];
};

// Text of a result code: "1-0", "0-1" or "1/2-1/2".
const char* match_result_text(int result);

// Writes the game with its headers, Player1 being the test side.
void write_match_game(FILE* file, int game_number, int test_colour, int result,
                      const MatchGame& game);
