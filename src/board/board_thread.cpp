#include "board/board_thread.h"

void link_board_thread(BoardThread* thread) {
  thread->board.thread = thread;
  thread->list_start[0] = thread->move_stack;
  thread->list_start[1] = thread->move_stack;
  thread->board.ep = NO_SQUARE;
  for (auto& list : thread->board.plist) list[0] = NO_SQUARE;
}
