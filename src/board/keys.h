#pragma once
// Hash-key tables and the full position key.
#include <cstdint>

struct Board;

extern uint64_t zobrist[1024];       // indexed by code * 64 + square
extern uint64_t zobrist_state[66];   // en-passant square (0..64) and castling rights (0..15)
extern const uint64_t side_key[2];   // 0 for white to move, all ones for black

// Fills the key tables; later calls do nothing.
void init_keys();

// Piece-placement key and pawn key recomputed from the square array.
uint64_t placement_key(const Board* board);
uint64_t pawn_placement_key(const Board* board);

// The key that identifies the exact position: placement, en passant,
// castling rights and side to move.
uint64_t full_key(const Board* board);
