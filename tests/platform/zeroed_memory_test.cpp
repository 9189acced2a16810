#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

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
