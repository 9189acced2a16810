#include "tools/param_bracket.h"

#include <cmath>
#include <cstdio>

namespace {

void report_best(const BracketResult& r, const std::function<void(const char*)>& line) {
  char text[128];
  std::snprintf(text, sizeof text, "best= %d, err= %0.6f, min= %d, max= %d", r.best, r.best_err,
                r.lo, r.hi);
  line(text);
  line("");
}

// A value that lands on a bracket end leaves nothing new to try.
int next_value(const BracketResult& r, int round) {
  int step = static_cast<int>(std::round(std::fabs(r.best) * 0.12)) + 1;
  if (r.lo == BRACKET_OPEN_LOW) return r.best - step;
  if (r.hi == BRACKET_OPEN_HIGH) return r.best + step;
  int other = round & 1 ? r.lo : r.hi;
  return static_cast<int>(std::round(0.5 * r.best + 0.5 * other));
}

}  // namespace

BracketResult bracket_parameter(const char* name, int start,
                                const std::function<double(int)>& error,
                                const std::function<void(const char*)>& line) {
  char text[128];
  line("");
  std::snprintf(text, sizeof text, "tuning %s", name);
  line(text);
  BracketResult r{start, 1.0, BRACKET_OPEN_LOW, BRACKET_OPEN_HIGH};
  int p = start;
  for (int round = 0; round < BRACKET_ROUNDS; round++) {
    double err = error(p);
    std::snprintf(text, sizeof text, "%s= %d, err= %0.6f", name, p, err);
    line(text);
    if (round > 0) {
      bool better = err < r.best_err;
      if (p > r.best) {
        if (better) r.lo = r.best; else r.hi = p;
      } else {
        if (better) r.hi = r.best; else r.lo = p;
      }
    }
    if (err < r.best_err) {
      r.best_err = err;
      r.best = p;
    }
    report_best(r, line);
    p = next_value(r, round);
    if (p == r.lo || p == r.hi) break;
  }
  report_best(r, line);
  return r;
}
