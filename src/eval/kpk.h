#pragma once
// King and pawn against king: a bitbase of won positions, built once at
// start-up by retrograde iteration.
#include <cstdint>

struct Board;

// Builds the bitbase; later calls do nothing.
void init_kpk();

// Raw lookup with the pawn's side as white and the pawn on files a-d:
// true when the pawn's side wins. `attacker_to_move` selects the table.
bool kpk_win(bool attacker_to_move, int pawn, int attacker_king, int defender_king);

// 800 (from `side`'s view: -800 when `side` defends) when the side owning the
// single pawn wins with `side` to move, 0 otherwise. The board must hold the
// two kings and exactly one pawn.
int probe_kpk(const Board* board, int side);

// The same for explicit squares; `pawn_colour` owns the pawn.
int probe_kpk_squares(int pawn_colour, int pawn, int white_king, int black_king, int side);
