#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <unistd.h>

#include "platform/zeroed_memory.h"

TEST(ZeroedMemory, FreshZeroedAlignedAndReusable) {
  EXPECT_EQ(zeroed_alloc(0), nullptr);
  for (std::size_t bytes : {std::size_t{100}, std::size_t{3} << 20}) {
    for (int round = 0; round < 2; ++round) {  // the second block may reuse the first's pages
      auto* memory = static_cast<unsigned char*>(zeroed_alloc(bytes));
      ASSERT_NE(memory, nullptr);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memory) % 64, 0u);
      std::size_t nonzero = 0;
      for (std::size_t i = 0; i < bytes; ++i) nonzero += memory[i] != 0;
      EXPECT_EQ(nonzero, 0u);
      std::memset(memory, 0xA5, bytes);
      zeroed_free(memory, bytes);
    }
  }
  zeroed_free(nullptr, 10);
}

// A size whose rounding would wrap is refused before the system is asked;
// a size the system refuses (here: beyond a lowered address-space limit)
// comes back as null; neither it nor the release of a null block may unmap
// anything of the process.
TEST(ZeroedMemory, ImpossibleSizesAreRefusedCleanly) {
  EXPECT_EQ(zeroed_alloc(SIZE_MAX), nullptr);

  const std::size_t size = std::size_t{1} << 30;
  void* const neighbour = reinterpret_cast<void*>(size);  // just past a block of `size` placed at 0
  void* placed = mmap(neighbour, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  if (placed != neighbour) GTEST_SKIP() << "address " << neighbour << " is taken";
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  rlimit lowered = saved;
  lowered.rlim_cur = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + size / 2;
  ASSERT_EQ(setrlimit(RLIMIT_AS, &lowered), 0);
  void* refused = zeroed_alloc(size);
  setrlimit(RLIMIT_AS, &saved);
  EXPECT_EQ(refused, nullptr);
  zeroed_free(refused, size + 4096);  // a null block covers no pages either
  unsigned char resident;
  EXPECT_EQ(mincore(neighbour, 4096, &resident), 0) << "the neighbouring page was unmapped";
  munmap(neighbour, 4096);
}
