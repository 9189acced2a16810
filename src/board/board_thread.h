#pragma once
// The part of a thread's block the board code works on: the position, the
// game history that leads to it (undo, repetitions, the fifty-move count)
// and the move lists of the plies above it. The evaluation and the search
// extend it with their own per-thread state; every `Board` lives in one of
// these blocks and reaches it through `Board.thread`.
#include <cstdint>

#include "board/board.h"
#include "core/engine_state.h"

// Room for MAX_PLY + 2 lists of the largest size any position can produce,
// so the move stack shared by all plies can never overflow.
constexpr int MOVE_STACK_SIZE = 72 * 680;

struct BoardThread {
  HistoryRecord history[HISTORY_SIZE];  // game history, one record per move made

  // Move lists of all plies, one after another. list_start[p] is where the
  // list of ply p begins; gen_all sets list_start[p + 1] past its terminator.
  // The root (ply 1) list starts at the beginning; the ply-0 list is empty.
  MoveEntry move_stack[MOVE_STACK_SIZE];
  MoveEntry* list_start[MAX_PLY + 2];

  int16_t history_count;  // records in use; the game length in half-moves
  int16_t ply;            // +1 per make (null moves too), -1 per unmake
  Move last_move;         // most recent move, 0 after a null move or set-up

  // Told of every move made (0 for a null move) while the trace depth is
  // non-zero. Set by whoever owns the block: only the search knows the
  // depths the trace shows. Null: no trace.
  void (*tracer)(const BoardThread* thread, Move move);

  Board board;  // board.thread points back at this block
};

// Links a zero-filled block: its board to it, the first move lists to the
// move stack, and an empty board (no en-passant square, empty square lists).
void link_board_thread(BoardThread* thread);
