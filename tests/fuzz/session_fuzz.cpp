// A dialogue with the engine: the input is a byte stream of commands, run
// through the same reader and interpreters as standard input, UCI by
// default or the console when the first line is "-c". Every requested
// search runs, held to a few thousand nodes so that an input stays quick.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/engine_state.h"
#include "frontend/input.h"
#include "frontend/search_session.h"
#include "fuzz/fuzz_support.h"
#include "platform/clock.h"
#include "search/time_control.h"

namespace {

constexpr size_t COMMANDS = 200;
constexpr int64_t NODE_CAP = 3000;
constexpr int SEARCHES_PER_COMMAND = 4;  // self-play starts one search after another

// The value after "value" (or after the command word), 0 when none.
long number_after(const std::string& line, const char* word) {
  size_t at = line.find(word);
  return at == std::string::npos ? 0 : std::strtol(line.c_str() + at + std::strlen(word), nullptr, 10);
}

bool starts_with_word(const std::string& line, const char* word) {
  size_t start = line.find_first_not_of(' ');
  return start != std::string::npos && line.compare(start, std::strlen(word), word) == 0;
}

// Commands that would only cost time or memory, or reach outside the
// working directory, are left out: a big table or many threads, deep perft,
// the search trace file, and files named by path.
bool affordable(const std::string& line) {
  if (starts_with_word(line, "setoption")) {
    if (line.find("Hash") != std::string::npos && number_after(line, "value") > 16) return false;
    if (line.find("Threads") != std::string::npos && number_after(line, "value") > 2) return false;
    return true;
  }
  if (starts_with_word(line, "perft")) return number_after(line, "perft") <= 3;
  if (starts_with_word(line, "trace")) return false;
  if (starts_with_word(line, "load")) return line.find_first_of("/\\") == std::string::npos;
  return true;
}

// What the main loop does with a search request, with a node cap, and with
// a held ("go infinite", ponder) result released as "stop" would.
void run_requested_searches() {
  for (int n = 0; control.start_request != 0 && n < SEARCHES_PER_COMMAND; n++) {
    if (control.node_limit <= 0 || control.node_limit > NODE_CAP) control.node_limit = NODE_CAP;
    begin_search();
    while (any_search_busy()) {
      check_time();
      sleep_ms(1);
    }
    finish_search();
    control.state = 0;
  }
  control.start_request = 0;
  set_self_play(false);
}

void run_commands() {
  while (command_waiting() && !settings.quit) {
    poll_input();
    run_requested_searches();
  }
}

}  // namespace

TARN_FUZZ_TARGET(session) {
  std::string stream;
  bool first = true;
  for (const std::string& line : fuzz_lines(data, size, COMMANDS)) {
    if (first && line == "-c") settings.protocol = 0;
    first = false;
    if (affordable(line)) stream += line + "\n";
  }
  for (size_t fed = 0; fed < stream.size() && !settings.quit;) {
    int taken = feed_input(stream.data() + fed, static_cast<int>(stream.size() - fed));
    if (taken == 0 && !command_waiting()) break;
    fed += static_cast<size_t>(taken);
    run_commands();
  }
  char leftover[4096];
  while (command_waiting()) read_input_line(leftover);  // after "quit"
  fuzz_check_game_board();
  std::remove("tmp.pgn");  // "save" appends to it
  return 0;
}
