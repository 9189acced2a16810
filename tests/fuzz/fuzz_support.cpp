#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "board/board_thread.h"
#include "board/fen.h"
#include "book/book_choice.h"
#include "book/book_file.h"
#include "core/engine_state.h"
#include "core/log_file.h"
#include "eval/params.h"
#include "frontend/command_line.h"
#include "frontend/input.h"
#include "frontend/input_queue.h"
#include "frontend/search_session.h"
#include "frontend/startup.h"
#include "search/game_position.h"
#include "tools/tool_search.h"

namespace {

std::string work_directory;

const char* const openings[] = {
    "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1",
    "d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7",
    "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3",
    "c2c4 e7e5 g2g3 g8f6 f1g2 d7d5 c4d5 f6d5",
};

void remove_work_directory() {
  std::error_code ignored;
  std::filesystem::remove_all(work_directory, ignored);
}

bool start_private_engine() {
  char pattern[] = "/tmp/tarn_fuzz_XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0) fuzz_failure("private working directory", __FILE__, __LINE__);
  work_directory = pattern;
  std::atexit(remove_work_directory);
  // Inputs can name the shared tables as "shared/syzygy".
  if (symlink(TARN_SHARED_DIR, "shared") != 0) fuzz_failure("link to the shared folder", __FILE__, __LINE__);
  const char* argv[] = {"tarn", "-nolog", "-hash", "1"};
  CommandLine line;
  if (start_engine(4, argv, &line) != 0) fuzz_failure("engine start", __FILE__, __LINE__);
  close_log();         // "setoption name Log" must not fill the disk
  feed_input("", 0);   // nor may any command come from the terminal
  return true;
}

}  // namespace

void fuzz_fresh_engine() {
  [[maybe_unused]] static const bool started = start_private_engine();
  // The running threads and the table are changed from what is in force,
  // before the settings forget it.
  if (control.threads != 1 && !change_thread_count(1)) fuzz_failure("threads", __FILE__, __LINE__);
  const bool other_table = control.hash_mb != 1;
  const bool tablebases = control.syzygy_path[0] != '\0';
  set_default_settings();
  settings.log_enabled = 0;
  restore_default_params();
  build_search_tables();
  init_eval_tables();
  set_self_play(false);
  request_hold_until_mate(false);
  request_hold_until_stop(false);
  control.hash_mb = 1;
  if (other_table && !resize_hash_table()) fuzz_failure("table", __FILE__, __LINE__);
  clear_hash_table();
  if (tablebases) reload_tablebases();
  settings.book_file[0] = '\0';
  book_load();  // forgets the book of the last input
  set_game_position(START_FEN);
  std::srand(1);  // the book's random choice, the same for every run of an input
}

std::vector<std::string> fuzz_lines(const uint8_t* data, size_t size, size_t max_lines) {
  auto input = std::make_unique<InputQueue>();
  std::vector<std::string> lines;
  char command[COMMAND_MAX + 1];
  const char* bytes = reinterpret_cast<const char*>(data);
  size_t offset = 0;
  for (;;) {
    int room = queue_room(input.get());
    int piece = static_cast<int>(size - offset < static_cast<size_t>(room) ? size - offset : room);
    queue_bytes(input.get(), bytes + offset, piece);
    offset += piece;
    if (offset == size) queue_flush_partial(input.get());
    bool taken = false;
    while (lines.size() < max_lines && take_command(input.get(), command)) {
      lines.push_back(command);
      taken = true;
    }
    if (lines.size() >= max_lines || (offset == size && !taken)) return lines;
  }
}

void fuzz_write_file(const std::string& name, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(name.c_str(), "wb");
  if (!file) fuzz_failure("writable working directory", __FILE__, __LINE__);
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);
}

void fuzz_search(int depth) {
  control.max_depth = static_cast<int8_t>(depth);
  control.level_moves = 1;
  control.level_time = 1000.0;
  control.node_limit = 0;
  tool_prepare_search();
  tool_search_here();
}

void fuzz_check_game_board() { FUZZ_CHECK(board_consistent(game_board())); }

void fuzz_failure(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: fuzz property failed: %s\n", file, line, condition);
  std::abort();
}

void fuzz_ask_book() {
  for (const char* opening : openings) {
    set_game_position(START_FEN);
    char moves[128];
    std::strcpy(moves, opening);
    for (char* word = std::strtok(moves, " "); word; word = std::strtok(nullptr, " ")) {
      Move chosen = book_find_move(game_board(), true);
      FUZZ_CHECK(chosen == MOVE_NONE || is_legal_game_move(chosen));
      Move next = MOVE_NONE;
      if (!parse_move(word, &next) || !play_game_move(next)) break;
    }
  }
}
