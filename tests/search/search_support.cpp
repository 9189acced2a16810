#include "search_support.h"

#include <cstring>
#include <sstream>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "search/reductions.h"
#include "search/root.h"
#include "search/search_threads.h"
#include "search/time_control.h"
#include "search/trans_table.h"

namespace search_test {

SearchThread* worker() {
  static SearchThread* block = [] {
    init_attack_tables();
    init_keys();
    settings.builtin_pst = 1;
    settings.noise = 9999.0;  // no info lines from unit searches
    settings.protocol = 2;
    set_default_params(params);
    init_eval_tables();
    build_reduction_tables();
    control.threads = 1;
    control.multipv = 1;
    control.hash_mode = 1;
    control.hash_mb = 8;
    control.tb_root_result = -1;
    tt_allocate();
    thread_table[0] = alloc_thread_block();
    SearchThread* t = alloc_thread_block();
    t->number = 1;
    thread_table[1] = t;
    return t;
  }();
  return block;
}

void set_position(const std::string& fen) {
  SearchThread* t = worker();
  parse_fen(&thread_table[0]->board, fen.c_str());
  control.node_limit = 0;
  control.max_depth = 66;
  control.tb_root_result = -1;
  control.tb_root_move = 0;
  control.elapsed = 0;
  prepare_search();  // as a search start: the shared result, draw values, table age, thread blocks
  t->list_start[1] = t->move_stack;
  t->stack[0].tb_result = t->stack[1].tb_result = -1;
}

unsigned long long search_to_depth(const std::string& fen, int depth) {
  set_position(fen);
  tt_clear();
  control.max_depth = static_cast<int8_t>(depth);
  search_limits.max_depth = depth;
  think(1);
  return worker()->nodes;
}

void play(const char* moves) {
  std::istringstream in(moves);
  for (std::string word; in >> word;) make_move(&worker()->board, coordinate_move(word.c_str()));
}

}  // namespace search_test
