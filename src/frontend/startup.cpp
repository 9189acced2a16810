#include "frontend/startup.h"

#include <cstdlib>
#include <cstring>

#include "board/attacks.h"
#include "board/keys.h"
#include "book/book_file.h"
#include "book/book_key.h"
#include "core/engine_state.h"
#include "core/log_file.h"
#include "core/message.h"
#include "core/output.h"
#include "eval/params.h"
#include "frontend/batch_modes.h"
#include "frontend/command_line.h"
#include "frontend/config.h"
#include "frontend/input.h"
#include "frontend/main_loop.h"
#include "frontend/search_session.h"
#include "platform/clock.h"
#include "platform/closed_output.h"
#include "platform/timer_period.h"
#include "search/search_thread.h"
#include "tools/tool_search.h"

namespace {

void set_default_control() {
  control.threads = 1;
  control.hash_mode = 1;
  control.hash_mb = 64;
  control.ponder = 1;
  control.multipv = 1;
  control.own_book = 0;
  control.book_depth = 24;
  control.book_variety = 30;
  control.overhead = 0.025;
  control.state = 0;
  control.start_request = 0;
  control.max_depth = MAX_PV;
  control.node_limit = 0;
  control.level_moves = 1;
  control.level_time = 5.0;
  control.increment = 0.0;
  control.clock[0] = control.clock[1] = 5.0;
  control.target_time = 1.0;
  control.stop = 0;
  control.hash_age = 0;
  control.syzygy_path[0] = '\0';
  control.tb_probe_depth[0] = 1;
  control.tb_probe_depth[1] = 3;
  control.tb_probe_depth[2] = 100;
  for (int32_t& counter : control.debug_counters) counter = 0;
}

bool create_game_block() {
  for (SearchThread*& entry : thread_table) entry = nullptr;
  thread_table[0] = alloc_thread_block();
  return thread_table[0] != nullptr;
}

void open_book() {
  init_book_keys();
  if (!book_open_buffers()) return;
  if (settings.book_file[0]) book_load();
}

// The main loop's 5 ms round; a match of very short searches polls its
// clock every millisecond.
void set_timer_period(const CommandLine& line) {
  bool short_searches = control.max_depth <= 5 || control.level_time <= 0.1 || control.node_limit < 100000;
  int wanted = selected_mode(line) == RUN_MATCH && short_searches ? 1 : 5;
  switch (timer_period_begin(wanted)) {
    case TIMER_PERIOD_CAPS_FAILED:
      print_message("error setting timer resolution");
      print_message("");
      break;
    case TIMER_PERIOD_BEGIN_FAILED: print_message("Error setting timer resolution"); break;
    case TIMER_PERIOD_SET:
    case TIMER_PERIOD_NOT_NEEDED: break;
  }
}

void run_mode(const CommandLine& line) {
  switch (selected_mode(line)) {
    case RUN_ANALYSE_EPD: run_epd_analysis(); break;
    case RUN_SCAN_PGN: run_pgn_scan(line.scan_mode, line.scan_file); break;
    case RUN_MATCH:
      settings.noise = 1000.0;
      run_match();
      break;
    case RUN_BENCH: run_benchmark(line.bench); break;
    case RUN_TUNE: run_tuning(); break;
    case RUN_INTERACTIVE: interactive_loop(); break;
  }
}

}  // namespace

void set_default_settings() {
  settings.quit = 0;
  settings.builtin_pst = 1;
  settings.noise = 0.0;
  settings.log_enabled = 1;
  settings.trace_depth = 0;
  settings.debug_display = 0;
  settings.epd_file[0] = '\0';
  settings.match_file[0] = '\0';
  std::strcpy(settings.book_file, "tarn.opn");
  settings.tag_key = 0;
  settings.protocol = 2;
  uci_extra = 0;
  set_default_control();
}

int start_engine(int argc, const char* const* argv, CommandLine* line) {
  unsigned long long now = wall_clock_ms();
  std::srand(static_cast<unsigned>(now));
  hold_messages();
  open_log();
  if (!create_game_block()) return 1;
  init_attack_tables();
  set_default_settings();
  set_default_params(params);
  read_config(CONFIG_FILE_NAME, params);
  save_default_params();
  fill_pst_tunables();
  settings.protocol = 2;
  parse_command_line(argc, argv, line);
  release_messages(selected_mode(*line) == RUN_INTERACTIVE);
  init_keys();
  if (!resize_hash_table()) return 1;
  open_book();
  if (!start_search_threads()) return 1;
  set_timer_period(*line);
  build_search_tables();
  tool_input = {poll_input, input_ended};
  return 0;
}

// The search threads go first: a search aborted by "quit" may still be
// reading the tables for a moment.
void shut_down_engine() {
  stop_search_threads();
  book_release();
  release_hash_table();
  timer_period_end();
  close_log();
}

int run_engine(int argc, const char* const* argv) {
  survive_closed_output();
  CommandLine line;
  if (int status = start_engine(argc, argv, &line)) return status;
  run_mode(line);
  shut_down_engine();
  return 0;
}
