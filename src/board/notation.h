#pragma once
// Moves as text: coordinate notation and standard algebraic notation, and
// the way back from any of them to a legal move.
#include "board/board.h"

constexpr int MOVE_TEXT_SIZE = 16;  // enough for every text below

// Origin, destination and the promotion suffix ("q" under UCI, "=Q" in the
// console). 0 is written "null".
void move_text(Move move, char* out);
// The same without the "null" case.
void move_text_plain(Move move, char* out);

// Fills coordinate text, SAN, SAN with the origin file and SAN with the
// origin rank for a pseudo-legal move of the side to move. Each buffer holds
// MOVE_TEXT_SIZE. Returns non-zero when the move gives check.
int move_san(const Board* board, Move move, char* coord, char* san, char* san_file, char* san_rank);

// Finds the legal move `text` denotes on the board. Returns 1 and sets `out`
// when exactly one move matches; otherwise 0 ("ambiguous move" is printed
// for exactly two matches). `text` is edited in place and needs room for one
// more character. parse_move (game_position.h) reads it on the game position.
int parse_move_on(const Board* board, char* text, Move* out);

// Reads a coordinate move ("e2e4", "e7e8q") without asking whether it is
// legal; MOVE_NONE when the text does not name two squares. A fifth
// character other than a promotion letter is ignored.
Move coordinate_move(const char* text);
