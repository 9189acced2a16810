#pragma once
// Turning one game read from a PGN file into output: an annotated listing
// (mode 1) or EPD records of selected positions (modes 2 to 4).
#include <cstdio>

#include "tools/pgn_reader.h"

// True when move i looks like a blunder by the side that lost or drew: it
// thought the game about level, yet the opponent's own scores around it
// rose clearly. Needs three scored plies on either side of i.
bool is_blunder(const int16_t* scores, int plies, int i, int result);

// Plays the game from the start position on the game board, writing what
// the mode asks for; stops at the first move that does not parse. Returns
// the number of positions written (in mode 1, the positions marked as
// blunders).
int emit_game(const PgnGame& game, int mode, FILE* out);
