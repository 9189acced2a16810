#pragma once
// Tests on a pseudo-legal move before it is made.
#include "board/types.h"

struct Board;

// True when the pseudo-legal `move` of `side` leaves its king safe; castling
// also needs the king not in check and the passed and landing squares safe.
bool is_legal(const Board* board, int side, Move move);

// 1 when the moved (or promoted) piece attacks the enemy king from its
// destination, 2 when the move uncovers a slider's check, 0 otherwise.
// Checks by the castling rook and en-passant discovered checks are not seen.
int gives_check(const Board* board, int side, const MoveEntry& entry);
