#pragma once
// One entry of a thread's search stack: what a node keeps about itself and
// passes to its children and to the next node at the same ply.
#include <cstdint>

#include "board/types.h"

// What a ply tells its child about the check its move gives, so that the
// child need not look at its own king. Unknown (the child tests) unless the
// mover classified the move exactly.
enum : uint8_t { CHECK_UNKNOWN = 0, CHECK_NO = 1, CHECK_YES = 2 };

struct PlyRecord {
  uint16_t pv_node;         // the node's PV flag as passed to search
  int16_t depth;            // remaining depth
  int16_t eval;             // static evaluation, -10000 when in check
  int16_t alpha, beta;      // window after the mate-distance clamp
  uint8_t in_iid;           // 1 while internal iterative deepening runs here
  uint8_t move_checks;      // whether the move being searched checks: CHECK_UNKNOWN, CHECK_NO, CHECK_YES
  uint16_t move_flags;      // classification of the move being searched (0 in check)
  uint16_t moves_searched;  // legal moves searched so far
  int32_t tb_result;        // WDL result probed here, -1 when none
  Move hash_move;           // move to try first
  Move null_killer;         // quiet move that refuted a null move at this ply
  Move killer1, killer2;
  Move evasion_killer;      // quiet move that caused a cutoff while in check
  uint16_t stage;           // move-picker stage
  MoveEntry* list;          // start of this ply's move list
  MoveEntry* cursor;        // current entry in it
};
