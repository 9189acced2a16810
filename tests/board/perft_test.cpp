#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "board/perft.h"
#include "board_support.h"
#include "platform/clock.h"

namespace {

uint64_t count(const char* fen, int depth) {
  BoardThread* thread = board_test::thread();
  board_test::setup(fen);
  return perft(thread, thread->board.side, 1, depth);
}

}  // namespace

// Each shared position to the deepest listed depth under about a million;
// with TARN_PERFT_FULL set (make perft), to its deepest, timed. Processor
// time beside the wall clock: on a shared machine the wall clock also counts
// the time other processes held the processor.
TEST(Perft, SharedPositions) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  ASSERT_EQ(records.size(), 24u);
  const bool full = std::getenv("TARN_PERFT_FULL") != nullptr;
  uint64_t total = 0;
  double total_seconds = 0, total_cpu = 0;
  for (const auto& record : records) {
    size_t depth = 1;
    while (depth < record.counts.size() && (full || record.counts[depth] <= 1000000)) ++depth;
    double start = monotonic_seconds();
    std::clock_t cpu_start = std::clock();
    uint64_t nodes = count(record.fen.c_str(), int(depth));
    double seconds = monotonic_seconds() - start, cpu = double(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    total += nodes;
    total_seconds += seconds;
    total_cpu += cpu;
    if (full)
      std::printf("%-72s depth %zu  nodes %11llu  %7.3f s  nps %10.0f  (cpu %7.3f s, nps %10.0f)\n",
                  record.fen.c_str(), depth, (unsigned long long)nodes, seconds, nodes / seconds, cpu, nodes / cpu);
    EXPECT_EQ(nodes, record.counts[depth - 1]) << record.fen << " " << depth;
  }
  if (full)
    std::printf("total  nodes %llu  %.3f s  nps %.0f  (cpu %.3f s, nps %.0f)\n", (unsigned long long)total,
                total_seconds, total / total_seconds, total_cpu, total / total_cpu);
}
