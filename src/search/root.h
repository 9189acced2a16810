#pragma once
// The root of a search: iterative deepening with aspiration windows and
// MultiPV, the merge of results into the shared best line, and the info lines.
#include "board/board.h"

struct SearchThread;

// One whole search for thread t (1 = the main search thread).
void think(int t);

// One iteration at `depth` for principal line `pv_index` (0-based).
void search_root(SearchThread* thread, int depth, int pv_index);

// Merges the thread's best line into the shared result, under the result lock.
void publish_result(SearchThread* thread);

// One progress line; pv_index -1 marks a line from the middle of an iteration.
void print_info(int t, int pv_index, int depth, int score, const Move* line);

// Score as the info line shows it, given the root tablebase result.
int shown_score(int score, int tb_root_result);

// "cp %d", "mate %d" or "mate -%d".
void score_text(int score, char* out, int size);
