// Speed figures, run on request only (TARN_TB_BENCH=1, alone in its process
// so that the set-up measured is the first one): the time of the first
// set-up over the shared folder and WDL probes per second on random
// positions whose tables are already loaded.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <random>
#include <vector>

#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<EgtbPosition> random_positions(const std::vector<std::vector<int>>& materials, int count) {
  std::mt19937_64 rng(1234);
  std::vector<EgtbPosition> out;
  while ((int)out.size() < count) out.push_back(random_position(materials[rng() % materials.size()], rng));
  return out;
}

void measure(const char* label, const std::vector<EgtbPosition>& positions) {
  int success, answered = 0;
  for (const EgtbPosition& pos : positions) {  // loads every table involved
    egtb_probe_wdl(pos, &success);
    answered += success != 0;
  }
  int rounds = 5;
  long sum = 0;
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpu_start = std::clock();
  for (int r = 0; r < rounds; r++)
    for (const EgtbPosition& pos : positions) sum += egtb_probe_wdl(pos, &success);
  double secs = seconds_since(start);
  double cpu = (double)(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  // On a busy machine the processor time gives the truer rate.
  std::printf("%s: %zu positions (%d answered), %.0f WDL probes/s wall, %.0f per processor second"
              " (checksum %ld)\n", label, positions.size(), answered, positions.size() * rounds / secs,
              positions.size() * rounds / cpu, sum);
}

}  // namespace

TEST(Bench, SetupAndWdlProbeSpeed) {
  if (!std::getenv("TARN_TB_BENCH")) GTEST_SKIP() << "set TARN_TB_BENCH=1 to measure";
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpu_start = std::clock();
  setup_capturing(syzygy_dir());
  std::printf("first setup: %.2f ms wall, %.2f ms processor\n", seconds_since(start) * 1000,
              (double)(std::clock() - cpu_start) * 1000 / CLOCKS_PER_SEC);
  start = std::chrono::steady_clock::now();
  setup_capturing(syzygy_dir());
  std::printf("second setup: %.2f ms\n", seconds_since(start) * 1000);

  std::vector<std::vector<int>> four, five = {codes_of("KBBvKN"), codes_of("KBNvKR"), codes_of("KRPvKP")};
  for (int a = 1; a <= 5; a++)
    for (int b = 1; b <= 5; b++) {
      four.push_back({6, 14, a, b});      // two white pieces
      four.push_back({6, 14, a, b + 8});  // one each
    }
  measure("4 pieces", random_positions(four, 200000));
  measure("5 pieces", random_positions(five, 200000));
}
