#include <cstring>

#include "board/fen.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "frontend/uci.h"
#include "search/game_position.h"

namespace {

// Moves are played while they are legal; the first that is not ends the
// list, since every move after it would be read in the wrong position. A
// game longer than the history's room ends the list too.
void play_move_list(char* list) {
  for (char* word = std::strtok(list, " "); word; word = std::strtok(nullptr, " ")) {
    Move move = coordinate_move(word);
    if (move == MOVE_NONE || !is_legal_game_move(move)) {
      print_linef("info string illegal move: %s", word);
      return;
    }
    if (!play_game_move(move)) return;
  }
}

}  // namespace

void uci_position(char* args) {
  char* moves = std::strstr(args, "moves");
  if (moves && moves > args) moves[-1] = '\0';
  const char* fen = std::strstr(args, "startpos") ? START_FEN
                    : std::strstr(args, "fen")    ? (std::strlen(args) >= 4 ? args + 4 : "")
                                                  : nullptr;
  if (!fen) return;
  if (const char* fault = set_game_position(fen)) {
    print_linef("info string illegal position: %s", fault);
    return;
  }
  if (moves) play_move_list(moves + 5);
  clear_next_record();
}
