#pragma once
// Single-parameter tuning by bracketing: walk away from the start value until
// the error rises on both sides, then halve the bracket around the best value.
#include <functional>

struct BracketResult {
  int best;
  double best_err;
  int lo, hi;  // -10000 / 10000 while that side is still open
};

constexpr int BRACKET_OPEN_LOW = -10000;
constexpr int BRACKET_OPEN_HIGH = 10000;
constexpr int BRACKET_ROUNDS = 30;

// error(value) measures the error with the parameter at value; line(text)
// receives each report line (empty strings for the blank lines). The caller
// restores the parameter afterwards.
BracketResult bracket_parameter(const char* name, int start,
                                const std::function<double(int)>& error,
                                const std::function<void(const char*)>& line);
