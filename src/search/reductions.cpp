#include "search/reductions.h"

#include <cmath>
#include <cstdio>

#include "eval/params.h"

int8_t lmr_pv[70][32];
int8_t lmr_nonpv[70][32];

namespace {

int clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

void build_reduction_tables(int strength) {
  // A negative strength (tarn.rc or the tuner may give one) has no square
  // root; it reduces as little as strength 0.
  const double k = std::sqrt(static_cast<double>(strength > 0 ? strength : 0)) * 0.1 * 0.55;
  for (int d = 0; d < 70; ++d) {
    for (int n = 0; n < 32; ++n) {
      if (d < 3 || n < 2) {
        lmr_pv[d][n] = 0;
        lmr_nonpv[d][n] = 0;
        continue;
      }
      const double x = std::sqrt(static_cast<double>(d + n)) - 2.5;
      // std::round rounds halves away from zero, as the tables want.
      const int pv = static_cast<int>(std::round(k * x));
      const int nonpv = static_cast<int>(std::round(k * x + 1.2));
      lmr_pv[d][n] = static_cast<int8_t>(clamp(pv < d - 3 ? pv : d - 3, 0, 2));
      lmr_nonpv[d][n] = static_cast<int8_t>(clamp(nonpv < d - 2 ? nonpv : d - 2, 0, 3));
    }
  }
}

void build_reduction_tables() { build_reduction_tables(params.search.LMR_strength); }

void print_reduction_tables() {
  for (int table = 0; table < 2; ++table) {
    const int8_t(*rows)[32] = table == 0 ? lmr_pv : lmr_nonpv;
    for (int d = 1; d <= 30; ++d) {
      std::printf("%2d  ", d);
      for (int n = 0; n < 32; ++n) std::printf("%d ", rows[d][n]);
      std::printf("\n");
    }
    if (table == 0) std::printf("\n");
  }
  std::fflush(stdout);
}
