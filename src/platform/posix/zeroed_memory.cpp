#include "platform/zeroed_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

constexpr std::size_t BIG_PAGE = std::size_t{2} << 20;

std::size_t rounded(std::size_t bytes) { return (bytes + BIG_PAGE - 1) & ~(BIG_PAGE - 1); }

}  // namespace

void* zeroed_alloc(std::size_t bytes) {
  if (bytes == 0 || bytes > SIZE_MAX - 2 * BIG_PAGE) return nullptr;
  const std::size_t size = rounded(bytes);
  // Over-ask by one big page so the block can start on a big-page boundary;
  // the unused ends go straight back.
  const std::size_t asked = size + BIG_PAGE;
  void* raw = mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + BIG_PAGE - 1) & ~(BIG_PAGE - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::size_t tail = start + asked - (aligned + size);
  if (tail) munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* memory = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(memory, size, MADV_HUGEPAGE);  // a refusal only costs speed
#endif
  return memory;
}

void zeroed_free(void* memory, std::size_t bytes) {
  if (!memory) return;
  munmap(memory, rounded(bytes));
}
