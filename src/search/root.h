#pragma once
// The root of a search: iterative deepening with aspiration windows and
// MultiPV, the merge of results into the shared best line, and the info lines.
#include "board/board.h"

struct SearchThread;

// One whole search for thread t (1 = the main search thread).
void think(int t);

// One iteration at `depth` for principal line `pv_index` (0-based).
void search_root(SearchThread* thread, int depth, int pv_index);

// Merges the thread's best line into the shared result, under the result
// lock. `bound` says what the score is (BOUND_EXACT, or BOUND_LOWER for a
// move whose re-search was interrupted after it failed high).
void publish_result(SearchThread* thread, int bound);

// One progress line; pv_index -1 marks a line from the middle of an
// iteration. A score that is only a bound (a failed window) is marked as
// one in UCI.
void print_info(int t, int pv_index, int depth, int score, const Move* line, int bound);

// Score as the info line shows it, given the root tablebase result.
int shown_score(int score, int tb_root_result);

// "cp %d", "mate %d" or "mate -%d", in moves of the side to move as UCI
// counts them.
void score_text(int score, char* out, int size);
