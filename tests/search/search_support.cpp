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
  control.stop = 0;
  control.pv[1] = control.pv[2] = 0;
  control.best_score = -10000;
  control.completed_depth = 0;
  control.best_change_depth = 0;
  control.main_completed = 0;
  control.early_stop = 0;
  control.node_limit = 0;
  control.max_depth = 66;
  control.tb_root_result = -1;
  control.tb_root_move = 0;
  control.elapsed = 0;
  const int side = thread_table[0]->board.side;
  control.root_side = static_cast<uint8_t>(side);
  control.draw_value[side] = params.search.draw_score;
  control.draw_value[side ^ 1] = static_cast<int16_t>(-params.search.draw_score);
  control.hash_age = 1;
  reset_thread_blocks();
  t->list_start[1] = t->move_stack;
  t->stack[0].tb_result = -1;
  t->stack[1].tb_result = -1;
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
