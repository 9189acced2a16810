#pragma once
// Splitting a PGN file into games: header values, move words and the engine
// scores written in the comments. Pure text work; the positions are set up
// only when a game is emitted (pgn_emit.h).
#include <cstdint>
#include <cstdio>

constexpr int PGN_MAX_PLIES = 1024;     // longer games keep their first plies only
constexpr int PGN_MOVE_TEXT = 12;       // 11 characters and the NUL
constexpr int16_t PGN_NO_SCORE = -30000;  // a move without a comment
constexpr int16_t PGN_BAD_SCORE = -29999; // a comment without a readable score
constexpr int PGN_COMMENT_MAX = 256;    // comment text kept per comment

// Any score below this one means "no score".
inline bool pgn_has_score(int score) { return score >= -9999; }

// The score a comment gives to the move before it, from the mover's view.
// black_moved tells whether that move was black's (an "eval" value is
// written from white's view and is turned round for black).
int16_t comment_score(const char* comment, bool black_moved);

// Result code of a Result header value: 0 white won, 1 black won, 2 other.
int result_code(const char* header_line);

struct PgnGame {
  char white[64];
  char black[64];
  int result;                 // 0, 1 or 2, as result_code
  int plies;                  // moves collected
  char moves[PGN_MAX_PLIES][PGN_MOVE_TEXT];
  int16_t scores[PGN_MAX_PLIES];
};

// What the reader hands back for each line.
enum class PgnLine { moves, header, game_ready };

struct PgnReader {
  PgnGame game;
  int games;                  // "Event " lines seen
  int comment_depth;          // nesting of the comment being read
  int comment_length;
  char comment[PGN_COMMENT_MAX];
  bool moves_pending;         // moves collected since the last emit
};

void pgn_reader_start(PgnReader& reader);

// Feeds one line (without its line feed). A header line that follows moves
// returns game_ready: the finished game is in reader.game and must be emitted
// (and then pgn_reader_next_game called) before the header is taken in with
// pgn_reader_header.
PgnLine pgn_reader_line(PgnReader& reader, const char* line);

// Takes in a header line; true when it started a new game ("Event ").
bool pgn_reader_header(PgnReader& reader, const char* line);

// Clears the collected moves after the game has been emitted.
void pgn_reader_next_game(PgnReader& reader);

// Reads one whole line of any length from file, keeping at most size - 1
// characters in out (the rest of an over-long line is dropped) and removing
// the line feed and a carriage return before it. False at the end of the file.
bool read_text_line(FILE* file, char* out, int size);
