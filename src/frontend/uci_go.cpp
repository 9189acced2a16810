// "go", "stop" and "ponderhit": starting and ending searches from the
// interface. The search itself starts at the next main-loop round.
#include <cstdlib>
#include <cstring>

#include "core/engine_state.h"
#include "frontend/search_session.h"
#include "frontend/uci.h"
#include "search/game_position.h"

namespace {

// The word after `word` in the argument text, as a number; false when the
// word does not occur.
bool limit_value(const char* args, const char* word, double* value) {
  const size_t length = std::strlen(word);
  for (const char* p = std::strstr(args, word); p; p = std::strstr(p + 1, word)) {
    const bool starts = p == args || p[-1] == ' ';
    const bool ends = p[length] == ' ' || p[length] == '\0';
    if (!starts || !ends) continue;
    *value = std::atof(p + length);
    return true;
  }
  return false;
}

bool has_word(const char* args, const char* word) {
  double ignored;
  return limit_value(args, word, &ignored);
}

}  // namespace

void uci_go(char* args) {
  control.stop = 2;
  // Every "go" starts from the default limits and applies only its own
  // words: a fixed depth for analysis must not cap the game that follows.
  control.level_moves = 0;
  control.max_depth = MAX_PV;
  control.node_limit = 0;
  control.increment = 0;
  control.start_request = std::strstr(args, "ponder") ? 2 : 1;
  const int side = game_board()->side;
  double v;
  if (limit_value(args, "wtime", &v)) control.clock[0] = v < 0 ? 0 : v / 1000;
  if (limit_value(args, "btime", &v)) control.clock[1] = v < 0 ? 0 : v / 1000;
  if (side == 0 && limit_value(args, "winc", &v)) control.increment = v / 1000;
  if (side == 1 && limit_value(args, "binc", &v)) control.increment = v / 1000;
  if (limit_value(args, "movestogo", &v)) {
    control.level_moves = 40;
    control.moves_to_go = static_cast<int16_t>(v);
  }
  if (limit_value(args, "depth", &v)) {
    control.max_depth = static_cast<int8_t>(v > 66 ? 66 : v);
    control.level_moves = 1;
    control.level_time = 360000.0;
  }
  if (limit_value(args, "nodes", &v)) {
    control.node_limit = static_cast<int64_t>(v);
    control.level_moves = 1;
    control.level_time = 10000000.0;
  }
  if (limit_value(args, "movetime", &v)) {
    control.level_time = v / 1000;
    control.level_moves = 1;
    control.increment = 0;
  }
  const bool infinite = has_word(args, "infinite");
  if (infinite) {
    control.level_moves = 1;
    control.level_time = 10000000.0;
    control.increment = 0;
  }
  // The protocol forbids a best move before "stop" after "go infinite",
  // even when the search has nothing left to do.
  request_hold_until_stop(infinite);
}

void uci_stop() { end_search_now(); }

void uci_ponderhit() {
  if (control.state == 2) control.state = 1;
}
