#include <cstdlib>
#include <new>

#include "search/search_thread.h"

SearchThread* thread_table[MAX_THREADS + 1];

SearchThread* alloc_thread_block() {
  void* memory = std::calloc(1, sizeof(SearchThread));
  if (!memory) return nullptr;
  // Default-initialisation keeps calloc's zeros: the block has no initialisers.
  SearchThread* thread = new (memory) SearchThread;
  thread->board.thread = thread;
  thread->list_start[0] = thread->move_stack;
  thread->list_start[1] = thread->move_stack;
  thread->board.ep = NO_SQUARE;
  for (auto& list : thread->board.plist) list[0] = NO_SQUARE;
  return thread;
}

void free_thread_block(SearchThread* thread) {
  if (!thread) return;
  thread->~SearchThread();
  std::free(thread);
}
