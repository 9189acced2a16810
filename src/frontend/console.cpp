#include "frontend/console.h"

#include <cstring>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board/perft.h"
#include "board/see.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "frontend/search_session.h"
#include "frontend/text.h"
#include "frontend/uci.h"
#include "platform/clock.h"
#include "search/game_position.h"

namespace {

bool is(const ConsoleCommand& command, const char* word) {
  return std::strcmp(command.word[0], word) == 0;
}

int argument(const ConsoleCommand& command, int low, int high) {
  return read_int_clamped(command.word[1], low, high);
}

// "40 5:00 0": moves, time as seconds or minutes:seconds, increment.
void set_level(const ConsoleCommand& command) {
  control.level_moves = static_cast<uint8_t>(argument(command, 0, 255));
  const char* time = command.word[2];
  double seconds = read_double(time);
  if (const char* colon = std::strchr(time, ':')) seconds = seconds * 60.0 + read_double(colon + 1);
  control.level_time = seconds;
  control.clock[0] = control.clock[1] = seconds;
  control.increment = read_double(command.word[3]);
  print_linef("set level to %d moves in %0.2f seconds, inc %0.2f", control.level_moves,
              control.level_time, control.increment);
}

void run_perft(int depth) {
  SearchThread* thread = game_thread();
  thread->nodes = 0;
  thread->ply = 1;
  double start = monotonic_seconds();
  // Depth 0 is the position itself, one path of length zero.
  if (depth == 0) {
    thread->nodes = 1;
  } else {
    thread->nodes = perft(thread, game_board()->side, 1, depth);
  }
  control.elapsed = monotonic_seconds() - start;
  double nodes = static_cast<double>(thread->nodes);
  print_linef("visited %0.0f nodes in %0.3f seconds, nps= %0.0f", nodes, control.elapsed,
              nodes / (control.elapsed + 0.001));
}

void list_exchanges() {
  Board* board = game_board();
  for (int square = 0; square < 64; square++) {
    int piece = board->squares[square];
    if (piece == EMPTY) continue;
    int value = swap(board, piece_colour(piece) ^ 1, NO_SQUARE, square, false);
    if (value != 0) print_stdoutf("sq= %s, swap= %d\n", square_name[square], value);
  }
}

// A word typed as a move (SAN or coordinates); anything else is ignored.
void typed_move(const char* word) {
  char text[CONSOLE_WORD_MAX + 2];
  copy_text(text, sizeof text - 1, word);
  Move move = MOVE_NONE;
  if (!text[0] || !parse_move(text, &move)) return;
  if (!history_room(game_board())) return;
  control.stop = 2;
  while (any_search_busy()) sleep_ms(1);
  print_linef("%d. move %s", game_thread()->history_count / 2 + 1, word);
  play_game_move(move);
  print_position();
}

void new_game(const ConsoleCommand&) {
  control.stop = 2;
  set_game_position(START_FEN);
  print_board(game_board());
  control.clock[0] = control.clock[1] = control.level_time;
}

void set_fen(const ConsoleCommand& command) {
  control.stop = 2;
  console_set_position(command.rest);
  print_board(game_board());
}

void quit(const ConsoleCommand&) {
  settings.quit = 1;
  control.stop = 2;
}

// The search keeps room for at most 255 lines, hence the range.
void set_multipv(const ConsoleCommand& command) {
  control.multipv = static_cast<int16_t>(argument(command, 1, 255));
}

struct ConsoleWord {
  const char* word;
  ConsoleHandler run;
  bool anywhere = false;  // matches any command word that contains it
};

// The whole console language in the order the words are tried. A word must
// match exactly, except that any word containing "multipv" sets the number
// of reported lines; a word that matches nothing is read as a move.
const ConsoleWord console_words[] = {
    {"new", new_game},
    {"fen", set_fen},
    {"quit", quit},
    {"bd", [](const ConsoleCommand&) { print_position(); }},
    {"level", set_level},
    {"depth", [](const ConsoleCommand& c) { control.max_depth = static_cast<int8_t>(argument(c, 0, MAX_PV)); }},
    {"ponder", [](const ConsoleCommand& c) { control.ponder = static_cast<int16_t>(argument(c, -32768, 32767)); }},
    {"noise", [](const ConsoleCommand& c) { settings.noise = read_double(c.word[1]); }},
    {"hash", [](const ConsoleCommand& c) { control.hash_mode = static_cast<uint8_t>(argument(c, 0, 255)); }},
    {"tag", [](const ConsoleCommand&) { settings.tag_key = full_key(game_board()); }},
    {"trace", [](const ConsoleCommand& c) { settings.trace_depth = static_cast<uint16_t>(argument(c, 0, 65535)); }},
    {"debug", [](const ConsoleCommand& c) { settings.debug_display = static_cast<uint16_t>(argument(c, 0, 65535)); }},
    {"mv", console_think},
    {"go", console_analyse},
    {"an", console_analyse},
    {".", console_stop},
    {"self", console_self_play},
    {"get", console_get_position},
    {"ev", console_eval},
    {"pv", console_table_line},
    {"lmr", console_lmr_tables},
    {"set", console_set_parameter},
    {"multipv", set_multipv, true},
    {"undo", [](const ConsoleCommand&) { console_undo(); }},
    {"[", [](const ConsoleCommand&) { console_undo(); }},
    {"]", [](const ConsoleCommand&) { console_redo(); }},
    {"load", [](const ConsoleCommand& c) { console_load(c.word[1], c.word[2]); }},
    {"save", [](const ConsoleCommand&) { console_save(); }},
    {"jump", [](const ConsoleCommand& c) { console_jump(argument(c, 0, 32767)); }},
    {"edit", [](const ConsoleCommand&) { console_edit(); }},
    {"perft", [](const ConsoleCommand& c) { run_perft(argument(c, 0, 20)); }},
    {"swap", [](const ConsoleCommand&) { list_exchanges(); }},
    {"sp", console_show_params},
    {"book", console_book_moves},
    {"mkbook", console_make_book},
    {"tune", console_tune},
};

const ConsoleWord* find_console_word(const char* word) {
  for (const ConsoleWord& entry : console_words) {
    bool match = entry.anywhere ? std::strstr(word, entry.word) != nullptr : std::strcmp(word, entry.word) == 0;
    if (match) return &entry;
  }
  return nullptr;
}

}  // namespace

void split_console_command(const char* text, ConsoleCommand* out) {
  for (auto& word : out->word) word[0] = '\0';
  while (*text == ' ') text++;
  const char* cursor = text;
  for (int i = 0; i < CONSOLE_WORDS && *cursor; i++) {
    cursor = first_word(out->word[i], CONSOLE_WORD_MAX + 1, cursor);
    while (*cursor == ' ') cursor++;
  }
  const char* after = text + std::strcspn(text, " ");
  out->rest = *after ? after + 1 : after;
}

void console_set_position(const char* fen) {
  if (const char* fault = set_game_position(fen)) print_linef("illegal position: %s", fault);
}

void print_position() {
  if (settings.debug_display && console_show_evaluation()) return;
  print_board(game_board());
}

void console_command(char* text) {
  ConsoleCommand command;
  split_console_command(text, &command);
  if (!command.word[0][0]) return;
  if (const ConsoleWord* entry = find_console_word(command.word[0])) {
    entry->run(command);
    return;
  }
  typed_move(is(command, "move") ? command.word[1] : command.word[0]);
}
