#pragma once
// Root windows: the aspiration window of an iteration around the previous
// score and the steps that widen a window after a fail. Bounds that reach
// the mate band open fully, since mate scores carry no useful margin.
#include <cstdlib>

#include "search/search.h"

struct Window {
  int lo;
  int hi;
};

// Aspiration half-width of an iteration around the previous score: open at
// depth 1, wide at depth 2, then narrowing with depth down to 15, and wider
// for scores far from equality.
inline int aspiration_width(int depth, int previous) {
  if (depth == 1) return MATE;
  if (depth == 2) return 250;
  const int base = 4 * (15 - depth);
  return (base > 15 ? base : 15) + std::abs(previous) / 16;
}

inline int open_lower(int lo) { return lo < MATE_BAND_LOW ? -MATE : lo; }
inline int open_upper(int hi) { return hi > MATE_BAND_HIGH ? MATE : hi; }
inline int open_bound(int bound) { return open_lower(open_upper(bound)); }

// The window of the first root move of an iteration.
inline Window aspiration_window(int depth, int previous) {
  const int w = aspiration_width(depth, previous);
  return {open_lower(previous - w), open_upper(previous + w)};
}

// Widening steps double, never below 25. The first step after an
// aspiration fail starts from the half-width, the first one after a
// null-window fail high from 1.
inline int widen_step(int step) { return step * 2 > 25 ? step * 2 : 25; }

// The window after the score v fell on or outside it: the failed side moves
// out by `step`.
inline Window widen_window(Window w, int v, int step) {
  if (v <= w.lo) w.lo -= step;
  if (v >= w.hi) w.hi += step;
  return {open_lower(w.lo), open_upper(w.hi)};
}
