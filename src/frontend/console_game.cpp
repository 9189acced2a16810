// Stepping through the game record and moving games in and out of PGN files.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "frontend/console.h"
#include "search/game_position.h"

namespace {

constexpr int PGN_LINE_MAX = 1023;

// The move recorded after the last one made, when it can still be played
// here: a record left over from an abandoned line may not fit the position.
Move recorded_next_move() {
  SearchThread* thread = game_thread();
  Move move = thread->history[thread->history_count].move;
  if (move == MOVE_NONE || !history_room(game_board()) || !is_legal_game_move(move))
    return MOVE_NONE;
  return move;
}

// Chosen game number and whether the selector names a header text instead.
struct GameSelector {
  int number;        // 1-based, or 0 while a header text is being looked for
  const char* text;  // header text to look for, or null
};

GameSelector choose_game(const char* selector) {
  if (!selector[0]) return {1, nullptr};
  if (std::isdigit(static_cast<unsigned char>(selector[0]))) {
    long number = std::strtol(selector, nullptr, 10);
    return {number >= 1 && number <= 1000 ? static_cast<int>(number) : 1, nullptr};
  }
  return {0, selector};
}

// Removes comments in braces, which may run over several lines.
void drop_comments(char* line, bool* in_comment) {
  char* out = line;
  for (const char* in = line; *in; in++) {
    if (*in_comment) {
      if (*in == '}') *in_comment = false;
    } else if (*in == '{') {
      *in_comment = true;
    } else {
      *out++ = *in;
    }
  }
  *out = '\0';
}

// Plays the moves of one line of move text; false at the first word that
// is not a legal move (reported) or when the game history is full.
bool play_move_text(char* line) {
  for (char* word = std::strtok(line, " \t"); word; word = std::strtok(nullptr, " \t")) {
    while (*word && !std::isalpha(static_cast<unsigned char>(*word))) word++;
    if (!*word) continue;  // move numbers and results
    char text[PGN_LINE_MAX + 2];
    std::snprintf(text, sizeof text - 1, "%s", word);
    Move move = MOVE_NONE;
    if (!parse_move(text, &move)) {
      print_linef("can't parse move '%s'", word);
      return false;
    }
    if (!play_game_move(move)) return false;
  }
  return true;
}

void finish_loading() {
  clear_next_record();
  print_board(game_board());
  control.clock[0] = control.clock[1] = control.level_time;
}

}  // namespace

void console_undo() {
  control.stop = 2;
  if (game_thread()->history_count < 1) return;
  unmake_move(game_board());
  print_position();
}

void console_redo() {
  control.stop = 2;
  Move move = recorded_next_move();
  if (move == MOVE_NONE) return;
  char text[MOVE_TEXT_SIZE];
  move_text(move, text);
  print_linef("%d%s move %s", game_thread()->history_count / 2 + 1,
              game_board()->side == WHITE ? "." : "...", text);
  play_game_move(move);
  print_position();
}

void console_jump(int target) {
  take_back_all();
  while (game_thread()->history_count < target) {
    Move move = recorded_next_move();
    if (move == MOVE_NONE || !play_game_move(move)) break;
  }
  print_board(game_board());
}

void console_load(const char* file_name, const char* selector) {
  print_linef("loading %s, tag %s\n", file_name, selector);
  FILE* file = std::fopen(file_name, "r");
  if (!file) {
    control.clock[0] = control.clock[1] = control.level_time;
    return;
  }
  set_game_position(START_FEN);
  GameSelector chosen = choose_game(selector);
  int game = 0;
  bool in_comment = false;
  char line[PGN_LINE_MAX + 1];
  while (std::fgets(line, sizeof line, file)) {
    line[std::strcspn(line, "\r\n")] = '\0';
    if (std::strstr(line, "[Event ")) game++;
    if (line[0] == '[') {
      if (chosen.text && chosen.number == 0 && std::strstr(line, chosen.text)) chosen.number = game;
      continue;
    }
    if (game == 0 || game != chosen.number) continue;
    drop_comments(line, &in_comment);
    if (!play_move_text(line)) break;
  }
  std::fclose(file);
  finish_loading();
}

void console_save() {
  FILE* file = std::fopen("tmp.pgn", "a");
  if (!file) return;
  int moves = game_thread()->history_count;
  take_back_all();
  std::fputs("[Event \"Unknown\"]\n", file);
  for (int i = 0; i < moves; i++) {
    Move move = game_thread()->history[i].move;
    char coord[MOVE_TEXT_SIZE], san[MOVE_TEXT_SIZE], san_file[MOVE_TEXT_SIZE], san_rank[MOVE_TEXT_SIZE];
    move_san(game_board(), move, coord, san, san_file, san_rank);
    std::fprintf(file, "%s ", san);
    if ((i + 1) % 11 == 0) std::fputc('\n', file);
    make_move(game_board(), move);
  }
  std::fputs("\n\n", file);
  std::fclose(file);
}
