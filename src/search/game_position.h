#pragma once
// The game position the commands and the batch tools work on: thread
// block 0, which each search copies into its workers.
#include "board/board.h"
#include "search/search_thread.h"

inline SearchThread* game_thread() { return thread_table[0]; }
inline Board* game_board() { return &thread_table[0]->board; }

// parse_move_on (notation.h) on the game position.
int parse_move(char* text, Move* out);

// Sets the game position from a FEN text (the start position for null) and
// returns null; a position not to play from (position_check.h) leaves the
// game as it was, and the reason is returned.
const char* set_game_position(const char* fen);

// Plays a move on the game position unless the game history is full.
bool play_game_move(Move move);

// Clears the history record after the last move made.
void clear_next_record();

// True when `move` is a legal move of the game position's side to move.
bool is_legal_game_move(Move move);

// Takes back every move of the game (the records stay for replaying).
void take_back_all();
