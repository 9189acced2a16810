#pragma once
// Building "book.opn" from the games in "book.pgn" (both in the working
// directory): every position of the first 50 plies of every game is counted
// with the game's result, and positions seen in fewer than 9 games are
// dropped at the end.
#include <cstdint>

struct Board;

constexpr int BOOK_PLIES = 50;
constexpr int BOOK_MIN_GAMES = 9;
constexpr int BOOK_FLUSH_GAMES = 200;
constexpr int BOOK_MERGE_GAMES = 5000;

// Where pgn_token continues in its line.
struct PgnCursor {
  const char* next;
};

// Stores the next token of the line in `out` (at most size - 1 characters)
// and returns true, or returns false at the end of the line. Braces and
// parentheses are tokens of their own; only spaces separate other tokens,
// and control and non-ASCII characters are dropped from the token text.
bool pgn_token(PgnCursor& cursor, char* out, int size);

// The move text inside a token: from its first letter or "0-" pair on (so
// move numbers such as "12." and "12..." fall away); null when it has none.
const char* pgn_move_text(const char* token);

// Runs the whole build on `board`, which ends in the start position.
void book_build(Board* board);
