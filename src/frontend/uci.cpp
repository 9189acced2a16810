#include "frontend/uci.h"

#include <cstdio>
#include <cstring>

#include "core/engine_state.h"
#include "core/output.h"
#include "frontend/input_queue.h"
#include "frontend/search_session.h"
#include "platform/clock.h"
#include "search/game_position.h"

namespace {

constexpr int WORD_MAX = 128;

void send_identification() {
  print_line("id name Tarn 3.50");
  print_line("id author Corvin Aldane");
  print_line("option name Hash type spin default 64 min 0 max 8192");
  print_line("option name Threads type spin default 1 min 1 max 64");
  print_line("option name Ponder type check default true");
  print_line("option name MultiPV type spin default 1 min 1 max 255");
  print_line("option name Clear Hash type button");
  print_line("option name Communication Overhead type spin default 25 min 0 max 5000");
  print_line("option name OwnBook type check default false");
  print_line("option name Log type check default false");
  print_linef("option name SyzygyPath type string default %s", control.syzygy_path);
  print_linef("option name SyzygyProbeDepth5 type spin default %d min 1 max 100",
              control.tb_probe_depth[0]);
  print_linef("option name SyzygyProbeDepth6 type spin default %d min 1 max 100",
              control.tb_probe_depth[1]);
  settings.log_enabled = 0;
  control.own_book = 0;
  print_line("uciok");
  settings.protocol = 2;
}

void answer_isready() {
  // The main thread never searches, so it can answer at once. Only a search
  // that is already ending gets a moment to finish (bounded, so a search
  // that does not react cannot freeze the dialogue); a running ponder or
  // infinite search is left alone.
  double give_up = monotonic_seconds() + 1.0;
  while (control.stop != 0 && any_search_busy() && monotonic_seconds() < give_up) sleep_ms(1);
  print_line("readyok");
}

void new_game() {
  game_thread()->history_count = 0;
  game_thread()->last_move = 0;  // unmake restores what make found, so an empty history has no last move
  control.level_moves = 0;
  control.level_time = 60.0;
  control.increment = 0.0;
  control.clock[0] = control.clock[1] = 60.0;
  control.stop = 2;
  if (control.hash_mode) clear_hash_table();
}

// While logging, each command is copied to the log. Only "uci" is echoed
// to the interface as well (it arrives before the interface knows the
// engine); any other echo would be a line no interface understands.
void echo_command(const char* command, const char* word) {
  if (!settings.log_enabled) return;
  char line[COMMAND_MAX + 8];
  std::snprintf(line, sizeof line, "CMD: %s", command);
  if (!std::strcmp(word, "uci"))
    print_line(line);
  else
    print_log_only(line);
}

}  // namespace

const char* split_command(const char* command, char* word) {
  const char* start = command;
  while (*start == ' ') start++;
  int length = 0;
  while (start[length] && start[length] != ' ' && start[length] != '\r' && start[length] != '\n' &&
         length < WORD_MAX)
    length++;
  std::memcpy(word, start, static_cast<size_t>(length));
  word[length] = '\0';
  const char* after = start + length;
  return *after ? after + 1 : after;
}

void uci_command(char* command) {
  if (command[0] == '\0' || command[0] == '\n') return;
  char word[WORD_MAX + 1];
  char* args = const_cast<char*>(split_command(command, word));
  echo_command(command, word);

  if (!std::strcmp(word, "uci")) {
    send_identification();
  } else if (!std::strcmp(word, "isready")) {
    answer_isready();
  } else if (!std::strcmp(word, "setoption")) {
    uci_setoption(args);
  } else if (!std::strcmp(word, "ucinewgame")) {
    new_game();
  } else if (!std::strcmp(word, "position")) {
    uci_position(args);
  } else if (!std::strcmp(word, "go")) {
    uci_go(args);
  } else if (!std::strcmp(word, "ponderhit")) {
    uci_ponderhit();
  } else if (!std::strcmp(word, "stop")) {
    uci_stop();
  } else if (!std::strcmp(word, "quit")) {
    control.stop = 2;
    settings.quit = 1;
  }
}
