#include "platform/zeroed_memory.h"

#include <windows.h>

// Committed pages arrive zero-filled and aligned to 64 KB; big pages need a
// privilege an engine rarely has, so ordinary ones serve.
void* zeroed_alloc(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void zeroed_free(void* memory, std::size_t) {
  if (memory) VirtualFree(memory, 0, MEM_RELEASE);
}
