#include "search/mate_limit.h"

#include "search/search.h"
#include "search/search_threads.h"

int mating_moves(int score) { return score > 9899 ? (MATE - score) / 2 : 0; }

bool mate_limit_reached(int score) {
  const int moves = mating_moves(score);
  return search_limits.mate_limit > 0 && moves > 0 && moves <= search_limits.mate_limit;
}
