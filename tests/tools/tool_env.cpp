#include "tool_env.h"

#include <fstream>
#include <sstream>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "core/engine_state.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "search/game_position.h"
#include "search/reductions.h"
#include "search/search_threads.h"
#include "search/trans_table.h"

void tool_test_setup(bool search) {
  static bool tables = false, workers = false;
  if (!tables) {
    tables = true;
    thread_table[0] = alloc_thread_block();
    init_attack_tables();
    init_keys();
    init_eval();
    settings.noise = 9999.0;
    control.threads = control.hash_mode = control.multipv = 1;
    control.hash_mb = 16;
    control.overhead = 0.025;
    control.tb_probe_depth[2] = 100;
    set_default_params(params);
    init_eval_tables();
    set_game_position(START_FEN);
  }
  if (search && !workers) {
    workers = true;
    tt_allocate();
    build_reduction_tables();
    start_threads(1);
  }
}

void write_text_file(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
}

std::string read_text_file(const std::string& name) {
  std::stringstream buffer;
  buffer << std::ifstream(name, std::ios::binary).rdbuf();
  return buffer.str();
}

std::vector<std::string> read_lines(const std::string& name) {
  std::vector<std::string> lines;
  std::ifstream in(name);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
