#include <new>

#include "core/output.h"
#include "platform/zeroed_memory.h"
#include "search/search_thread.h"

SearchThread* thread_table[MAX_THREADS + 1];

namespace {

// The trace shows each move with the iteration and the depth left at its ply.
void trace_search_move(const BoardThread* block, Move move) {
  const SearchThread* thread = static_cast<const SearchThread*>(block);
  const int ply = thread->ply;
  const int depth = ply >= 0 && ply < MAX_PLY ? thread->stack[ply].depth : 0;
  trace_move(ply, thread->iter_depth, depth, move);
}

}  // namespace

SearchThread* alloc_thread_block() {
  // Pages fresh from the system: zero-filled, aligned for the counters'
  // cache line, and backed only where the thread touches them.
  void* memory = zeroed_alloc(sizeof(SearchThread));
  if (!memory) return nullptr;
  // Default-initialisation keeps the zeros: the block has no initialisers.
  SearchThread* thread = new (memory) SearchThread;
  link_board_thread(thread);
  thread->tracer = trace_search_move;
  return thread;
}

void free_thread_block(SearchThread* thread) {
  if (!thread) return;
  thread->~SearchThread();
  zeroed_free(thread, sizeof(SearchThread));
}
