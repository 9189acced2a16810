#pragma once
// In which order a node tries its moves: the staged picker, the capture and
// general scorers, and the per-thread history, countermove and killer memory.
#include "board/board.h"
#include "search/ply_record.h"

struct SearchThread;

// Picker stages kept in PlyRecord::stage.
enum : uint16_t {
  STAGE_HASH = 0,
  STAGE_CAPTURES_GEN = 1,
  STAGE_CAPTURES = 3,
  STAGE_QUIETS = 6,
  STAGE_REST = 7,
};

// Victim value of a captured piece code (200 for an empty square).
extern const int16_t victim_value[16];

// The hash move's entry scores above every other.
constexpr int16_t HASH_MOVE_SCORE = 255;

// Points an unused ply's list at the thread's move stack and clears its
// hash move and killers; done for every ply when a search starts.
void reset_move_order(SearchThread* thread);

// Swaps the best-scored entry from `cursor` to the end of the list onto the
// cursor and returns the cursor; of equal scores the first wins (the entry
// best_entry finds). The comparison is written to become conditional moves:
// which entry is best is close to random, and a mispredicted branch per
// entry cost more than the selection itself.
inline MoveEntry* best_entry(MoveEntry* cursor) {
  MoveEntry* best = cursor;
  int best_score = cursor->score;
  for (MoveEntry* e = cursor + 1; e->move != MOVE_END; ++e) {
    const int score = e->score;
    const bool better = score > best_score;
    best = better ? e : best;
    best_score = better ? score : best_score;
  }
  return best;
}

inline MoveEntry* select_best(MoveEntry* cursor) {
  MoveEntry* best = best_entry(cursor);
  if (best != cursor) {
    const MoveEntry held = *cursor;
    *cursor = *best;
    *best = held;
  }
  return cursor;
}

// Index of the first of the highest of `count` (at least one) keys. The
// eight keys past them must exist and are overwritten.
int first_highest(int16_t* keys, int count);

// The next move of the current ply (board->thread->ply), or null when the
// node has no more. The returned entry stays in the list. Entries are
// pseudo-legal; the caller tests legality. The caller sets `stage` to 0
// before the first call.
MoveEntry* next_move(Board* board, bool in_check);

// next_move in the quiet stage: a lean call for the stage that picks most
// moves, without the generating stages' register saves.
MoveEntry* next_quiet_move(Board* board, PlyRecord& record);

// The same for the ply whose record is at hand. The last stage goes through
// the list in its order, one move per call for most of a node's moves in
// check and for the late quiet moves: that step is taken here, inline.
inline MoveEntry* next_move(Board* board, PlyRecord& record, bool in_check) {
  if (record.stage == STAGE_QUIETS) return next_quiet_move(board, record);
  if (record.stage != STAGE_REST) return next_move(board, in_check);
  MoveEntry* e = ++record.cursor;
  return e->move == MOVE_END ? nullptr : e;
}

// 0 when the side to move has a legal move; otherwise 1 in check
// (checkmate), 2 when not (stalemate). Uses the current ply's list.
int game_over(Board* board, bool in_check);

// Whether a capture the picker handed out, by a piece worth more than its
// victim (coarse value), loses more than 74 by the exchange: the picker
// settles that exchange before handing the capture out and leaves the
// verdict in the score.
bool scored_as_losing(const MoveEntry& capture);

// The general scorer of the root list and the ProbCut captures.
void score_moves(Board* board, MoveEntry* list);

void history_bonus(SearchThread* thread, int code, int to);
void history_malus(SearchThread* thread, int code, int to);

// Killer and countermove update after a quiet move caused a cutoff.
void record_cutoff(Board* board, PlyRecord& record, Move best, bool in_check);

// The countermove for the current position (0 when the last move was a null move).
Move current_countermove(const Board* board);
