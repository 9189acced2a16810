// "go", "stop" and "ponderhit": starting and ending searches from the
// interface. The search itself starts at the next main-loop round.
#include <cstdlib>
#include <cstring>

#include "board/notation.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "frontend/search_session.h"
#include "frontend/text.h"
#include "frontend/uci.h"
#include "search/game_position.h"

namespace {

// The words "go" knows; the move list of "searchmoves" ends at the next one.
const char* const go_words[] = {"searchmoves", "ponder", "wtime", "btime", "winc",     "binc",
                                "movestogo",   "depth",  "nodes", "mate",  "movetime", "infinite"};

bool is_go_word(const char* word) {
  for (const char* known : go_words)
    if (!std::strcmp(word, known)) return true;
  return false;
}

// The text after `word` where it stands as a word of its own in the
// argument text; null when it does not.
const char* after_word(const char* args, const char* word) {
  const size_t length = std::strlen(word);
  for (const char* p = std::strstr(args, word); p; p = std::strstr(p + 1, word)) {
    const bool starts = p == args || p[-1] == ' ';
    const bool ends = p[length] == ' ' || p[length] == '\0';
    if (starts && ends) return p + length;
  }
  return nullptr;
}

// Largest time or count the interface may give: about three centuries in
// milliseconds, far inside every integer it is later converted to.
constexpr double LIMIT_MAX = 1e13;

// The word after `word` in the argument text, as a number held to
// [0, LIMIT_MAX] (junk reads as 0); false when the word does not occur.
bool limit_value(const char* args, const char* word, double* value) {
  const char* after = after_word(args, word);
  if (!after) return false;
  const double number = std::strtod(after, nullptr);
  *value = number > 0 ? (number < LIMIT_MAX ? number : LIMIT_MAX) : 0.0;  // NaN fails both tests
  return true;
}

bool has_word(const char* args, const char* word) { return after_word(args, word) != nullptr; }

// The legal moves listed after "searchmoves", up to the next "go" word. A
// word that is no legal move here is reported and left out; when none is
// left the list stays empty, which allows every move.
void read_root_moves(const char* args, RootMoves* only) {
  only->count = 0;
  const char* text = after_word(args, "searchmoves");
  if (!text) return;
  char word[32];
  for (text = first_word(word, sizeof word, text); word[0]; text = first_word(word, sizeof word, text)) {
    if (is_go_word(word)) break;
    const Move move = coordinate_move(word);
    const size_t length = std::strlen(word);
    const bool well_formed = length == 4 || (length == 5 && is_promotion(move));
    if (well_formed && move != MOVE_NONE && is_legal_game_move(move))
      add_root_move(*only, move);
    else
      print_linef("info string searchmoves: %s is not a legal move here, skipped", word);
  }
}

// "mate N": no clock, no fixed time, depth or node count means an analysis
// that runs until the mate is found or "stop" comes.
bool read_mate_limit(const char* args) {
  double v;
  control.mate_limit = 0;
  if (!limit_value(args, "mate", &v) || v < 1) return false;
  control.mate_limit = static_cast<int16_t>(v > 1000 ? 1000 : v);
  for (const char* limit : {"wtime", "btime", "movestogo", "depth", "nodes", "movetime"})
    if (has_word(args, limit)) return false;
  control.level_moves = 1;
  control.level_time = 10000000.0;
  control.increment = 0;
  return true;
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
  read_root_moves(args, &control.root_moves);
  const int side = game_board()->side;
  double v;
  if (limit_value(args, "wtime", &v)) control.clock[0] = v / 1000;
  if (limit_value(args, "btime", &v)) control.clock[1] = v / 1000;
  if (side == 0 && limit_value(args, "winc", &v)) control.increment = v / 1000;
  if (side == 1 && limit_value(args, "binc", &v)) control.increment = v / 1000;
  if (limit_value(args, "movestogo", &v)) {
    control.level_moves = 40;
    control.moves_to_go = static_cast<int16_t>(v < 32767 ? v : 32767);
  }
  const bool mate_alone = read_mate_limit(args);
  if (limit_value(args, "depth", &v)) {
    control.max_depth = static_cast<int8_t>(v > MAX_PV ? MAX_PV : v);
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
  // even when the search has nothing left to do. A mate search without
  // other limits waits the same way unless it finds its mate.
  request_hold_until_stop(infinite);
  request_hold_until_mate(mate_alone && !infinite);
}

void uci_stop() { end_search_now(); }

void uci_ponderhit() {
  if (control.state == 2) control.state = 1;
}
