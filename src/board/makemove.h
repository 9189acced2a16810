#pragma once
// Making and unmaking moves, the null move, and the draw rules.
#include "board/board.h"

// The game may use the history only up to this many records, leaving the
// rest for the plies of a search (at most 70) so that a search started from
// any accepted game position never runs past the end. Game moves are
// refused once history_room() is false.
constexpr int GAME_HISTORY_LIMIT = HISTORY_SIZE - 80;
bool history_room(const Board* board);

// Plays a pseudo-legal move of the side to move. As a last guard it refuses
// (returns false, board untouched) when all HISTORY_SIZE records are in use.
bool make_move(Board* board, Move move);

// Takes back the move of the top history record.
void unmake_move(Board* board);

// Passes the move to the opponent and back. The null move also refuses
// (false) with a full history.
bool make_null(Board* board);
void unmake_null(Board* board);

// Removes the piece on `square` from the square array, its list, the sums
// and the bitboards; the keys are the caller's business.
void remove_piece(Board* board, int square);

// Puts `code` on the empty `square` (appended to its list, sums, bitboards);
// keys untouched.
void add_piece(Board* board, int code, int square);

// 0 when no draw rule applies, 1 for the fifty-move rule (with a legal move
// available), 2 when the position has occurred at least `reps` times.
int is_draw(const Board* board, bool all_kinds, int reps);
