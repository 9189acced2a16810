#include "board/perft.h"

#include "board/board_thread.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"

namespace {

// Leaves are counted without being made: the legality test alone decides.
uint64_t count_leaves(Board* board, int side, MoveEntry* list, int depth) {
  MoveEntry* end = gen_full_list(board, side, list);
  uint64_t count = 0;
  if (depth == 1) {
    for (MoveEntry* entry = list; entry != end; ++entry)
      count += is_legal(board, side, entry->move);
    return count;
  }
  for (MoveEntry* entry = list; entry != end; ++entry) {
    if (!is_legal(board, side, entry->move)) continue;
    make_move(board, entry->move);
    count += count_leaves(board, side ^ 1, end + 1, depth - 1);
    unmake_move(board);
  }
  return count;
}

}  // namespace

uint64_t perft(BoardThread* thread, int side, int ply, int depth) {
  if (depth < 1) return 0;
  MoveEntry* list = thread->list_start[ply] ? thread->list_start[ply] : thread->move_stack;
  return count_leaves(&thread->board, side, list, depth);
}
