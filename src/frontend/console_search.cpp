// The console commands that search or look into the search: "mv", "go" /
// "an", ".", "self", "get", "ev", "pv", "lmr" and "set".
#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "frontend/console.h"
#include "frontend/console_commands.h"
#include "frontend/search_session.h"
#include "frontend/text.h"
#include "search/game_position.h"
#include "search/move_order.h"
#include "search/reductions.h"
#include "search/search.h"
#include "search/search_threads.h"
#include "search/trans_table.h"

namespace {

// A new search request ends one that is still running, so the request does
// not wait behind a long analysis.
void request_search(uint8_t kind) {
  if (control.state != 0) control.stop = 2;
  control.start_request = kind;
}

// The first line of "test.epd" carrying id "<name>", or an empty text.
void find_test_position(const char* name, char* line, int size) {
  line[0] = 0;
  FILE* file = std::fopen("test.epd", "r");
  if (!file) return;
  char wanted[CONSOLE_WORD_MAX + 8];
  std::snprintf(wanted, sizeof wanted, "id \"%s\"", name);
  while (std::fgets(line, size, file)) {
    if (line[0] == ' ' || line[0] == ';') continue;
    if (std::strstr(line, wanted)) {
      line[std::strcspn(line, "\r\n")] = 0;
      std::fclose(file);
      return;
    }
  }
  line[0] = 0;
  std::fclose(file);
}

}  // namespace

void console_think(const ConsoleCommand&) { request_search(1); }

void console_analyse(const ConsoleCommand& command) {
  control.level_moves = 1;
  control.level_time = 99999.0;
  const int depth = read_int_clamped(command.word[1], -1, 1000);
  control.max_depth = static_cast<int8_t>(depth >= 1 && depth <= 65 ? depth : 66);
  if (control.hash_mode <= 1) clear_hash_table();
  request_search(3);
}

void console_stop(const ConsoleCommand&) { control.stop = 2; }

void console_self_play(const ConsoleCommand&) {
  set_self_play(true);
  control.ponder = 0;
  request_search(1);
}

void console_get_position(const ConsoleCommand& command) {
  control.stop = 2;
  char line[1024];
  find_test_position(command.word[1], line, sizeof line);
  print_line(line);
  if (std::strlen(line) > 8) console_set_position(line);
  print_board(game_board());
  clear_hash_table();
}

void console_eval(const ConsoleCommand&) { show_eval(game_thread(), quiescence_score(game_thread())); }

void console_table_line(const ConsoleCommand&) {
  Board* board = game_board();
  char text[66 * 10] = "";
  int length = 0;
  int made = 0;
  while (made < 66) {
    TTEntry entry;
    entry.score = NO_SCORE;
    tt_probe(*board, entry);
    // The root of a search is never stored, so the walk starts with the
    // last search's best move when the table has nothing for the position.
    if (made == 0 && (entry.depth < -10 || entry.move == 0)) {
      entry.move = best_move();
      entry.depth = 0;
    }
    // A stored move, or the last search's move, may belong to another
    // position: only a move of this position's move list may be made.
    if (entry.depth < -10 || entry.move == 0 || !is_legal_game_move(entry.move)) break;
    if (is_draw(board, false, 2) || !history_room(board)) break;
    char coord[MOVE_TEXT_SIZE], san[MOVE_TEXT_SIZE], by_file[MOVE_TEXT_SIZE], by_rank[MOVE_TEXT_SIZE];
    move_san(board, entry.move, coord, san, by_file, by_rank);
    length += std::snprintf(text + length, sizeof text - length, "%s ", san);
    make_move(board, entry.move);
    ++made;
  }
  print_stdoutf("PV: %s\n\n", text);
  print_board(board);
  while (made-- > 0) unmake_move(board);
}

void console_lmr_tables(const ConsoleCommand&) { print_reduction_tables(); }

void console_set_parameter(const ConsoleCommand& command) {
  SearchParams& sp = params.search;
  const char* name = command.word[1];
  int16_t* field = !std::strcmp(name, "NMP_depth")   ? &sp.NMP_depth
                   : !std::strcmp(name, "SEP_depth") ? &sp.SEP_depth
                   : !std::strcmp(name, "FP_depth")  ? &sp.FP_depth
                   : !std::strcmp(name, "LMP_depth") ? &sp.LMP_depth
                   : !std::strcmp(name, "LMR_depth") ? &sp.LMR_depth
                                                     : nullptr;
  if (field) {
    *field = static_cast<int16_t>(read_int_clamped(command.word[2], -32768, 32767));
    print_linef("%s set to %d", name, *field);
  } else if (!std::strcmp(name, "ss_off")) {
    sp.SEP_depth = 0;
    sp.NMP_depth = 99;
    sp.LMP_depth = 0;
    sp.LMR_depth = 99;
    print_line("selectivity set to OFF");
  } else {
    restore_default_params();
    print_line("selectivity set to default");
  }
}
