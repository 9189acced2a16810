#pragma once
// The arithmetic of one tuning step for one parameter: how far to probe on
// either side, how to smooth the measured slope and how far to move.

// Probe width and step clamp of a parameter at a given estimate.
struct ProbeWidth {
  int step;      // distance of the two probes from the current value
  double clamp;  // largest move of the estimate in one pass
};
ProbeWidth probe_width(double estimate);

struct TuneMove {
  double gradient;   // raw slope (err(p2) - err(p1)) / (p2 - p1)
  double wanted;     // the unclamped move
  double step;       // the move actually made
};

// Computes the move from the two probe errors. previous_gradient is the raw
// slope of the last pass (ignored in the first pass).
TuneMove tune_move(double estimate, int p1, int p2, double err1, double err2,
                   double previous_gradient, bool first_pass);

constexpr double TUNE_GAIN = 2000.0;
constexpr int TUNE_PASSES = 100;
