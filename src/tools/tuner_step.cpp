#include "tools/tuner_step.h"

#include <cmath>

ProbeWidth probe_width(double estimate) {
  double width = 0.03 * std::fabs(estimate) + 0.5;
  if (width < 1.0) return ProbeWidth{1, 1.0};  // small values still need a probe of one
  return ProbeWidth{static_cast<int>(std::round(width)), width};
}

TuneMove tune_move(double estimate, int p1, int p2, double err1, double err2,
                   double previous_gradient, bool first_pass) {
  TuneMove move;
  move.gradient = (err2 - err1) / (p2 - p1);
  // Smoothing over passes damps the noise of measuring each pass on a
  // different sixteenth of the records.
  double smoothed = first_pass ? move.gradient : 0.65 * move.gradient + 0.35 * previous_gradient;
  double x = std::fabs(estimate);
  move.wanted = (x > 0.3 ? x : 0.3) * smoothed * -TUNE_GAIN;
  double clamp = probe_width(estimate).clamp;
  move.step = move.wanted > clamp ? clamp : (move.wanted < -clamp ? -clamp : move.wanted);
  return move;
}
