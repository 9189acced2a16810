#pragma once
// Root windows: the aspiration window of an iteration around the previous
// score, the null window that tests a later root move against the best, and
// the steps that widen a window after a fail. A bound that reaches the mate
// band opens fully, since mate scores carry no useful margin; opening only
// ever moves a bound outwards, so no window can close up and let the child's
// mate-distance test answer a search that never ran.
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

// The window of the first root move of an iteration.
inline Window aspiration_window(int depth, int previous) {
  const int w = aspiration_width(depth, previous);
  return {open_lower(previous - w), open_upper(previous + w)};
}

// The window that asks whether a later root move beats `best`.
inline Window null_window(int best) { return {open_lower(best), open_upper(best + 1)}; }

// Widening steps double, never below 25. The first step after an
// aspiration fail starts from the half-width, the first one after a
// null-window fail high from 1.
inline int widen_step(int step) { return step * 2 > 25 ? step * 2 : 25; }

// The window after the score v fell on or outside it: the failed side moves
// out by `step`. Off the reported line nobody watches the steps, so a fail
// low whose score is still below the lowered bound moves it once more and
// saves a re-search.
inline Window widen_window(Window w, int v, int step, bool report) {
  if (v <= w.lo && !report) w.lo -= step;
  if (v <= w.lo) w.lo -= step;
  if (v >= w.hi) w.hi += step;
  return {open_lower(w.lo), open_upper(w.hi)};
}
