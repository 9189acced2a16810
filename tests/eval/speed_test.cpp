// Throughput of full evaluations (caches not trusted, so every call runs
// the whole evaluation and the pawn structure). A measurement, not a check:
// runs only with TARN_EVAL_BENCH set, e.g.
//   TARN_EVAL_BENCH=1 build/<dir>/tests/eval_tests --gtest_filter=Speed.*
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "board/fen.h"
#include "eval/evaluate.h"
#include "eval_support.h"
#include "support/shared_data.h"

TEST(Speed, FullEvaluationsPerSecond) {
  if (!std::getenv("TARN_EVAL_BENCH")) GTEST_SKIP() << "set TARN_EVAL_BENCH to measure";
  TARN_REQUIRE_SHARED("epd/wac.epd");
  EvalThread* t = eval_test::thread();
  std::vector<Board> boards;
  std::ifstream file(tarn_test::shared_path("epd/wac.epd"));
  for (std::string line; std::getline(file, line);) {
    parse_fen(&t->board, line.c_str());
    boards.push_back(t->board);
  }
  control.state = 0;
  const int rounds = 2000;
  long long sink = 0, calls = 0;
  auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < rounds; r++) {
    for (const Board& b : boards) {
      t->board = b;
      sink += evaluate(t, b.side, 1, 0);
      calls++;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%lld evaluations of %zu positions in %.3f s: %.0f per second (checksum %lld)\n", calls,
              boards.size(), seconds, calls / seconds, sink);
  EXPECT_GT(calls, 0);
}
