#pragma once
// Which positions the engine lets in. Make/unmake, move generation and the
// search test nothing and rely on three things a legal game guarantees: one
// king per side, no pawn on a back rank, no piece list ever overflowing
// (not even after promotions), and the side to move never able to take a
// king. Every boundary that sets up a position (the interface, the console,
// the batch tools) asks here first and refuses what fails.
#include "board/board.h"

// Null when the position is one to play from; otherwise why not, as a short
// text ("no white king", "white pawn on e8", "too many black queens", ...).
// Besides the rules above it checks what only a damaged record could get
// wrong: castling rights without king and rook at home, an en-passant square
// with no pawn that just passed it.
const char* position_fault(const Board* board);

// True when the en-passant square is none, or empty with the pawn that just
// passed it in front (the capture removes that pawn).
bool en_passant_consistent(const Board* board);

// Reads a FEN or EPD record (read_fen). A position to play from is set up
// with its game history emptied, "Illegal EPD record" is printed when
// castling rights had to be removed, and null is returned. Otherwise the
// board and its game history stay as they were and the reason is returned;
// `crowded` pieces the reader had to drop count as too many.
const char* set_position(Board* board, const char* text);

// The board and the part of its thread's game history that setting up a
// position overwrites, so that a refused set-up leaves no trace.
struct PositionSnapshot {
  Board board;
  int16_t history_count;
  int16_t ply;
  Move last_move;
  HistoryRecord first_records[2];
};
void take_snapshot(const Board* board, PositionSnapshot* snapshot);
void restore_snapshot(Board* board, const PositionSnapshot& snapshot);
