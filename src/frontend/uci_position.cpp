#include <cstring>

#include "board/fen.h"
#include "board/notation.h"
#include "core/engine_state.h"
#include "frontend/uci.h"
#include "search/game_position.h"

namespace {

// Whether a move can be made at all without breaking the position record:
// something must stand on the origin, and neither a king nor a piece of the
// mover's own colour may be taken. Anything else is played as given.
bool playable(const Board* board, Move move) {
  int from = move_from(move), to = move_to(move);
  int piece = board->squares[from], target = board->squares[to];
  if (from == to || piece == EMPTY) return false;
  if (target == EMPTY) return true;
  return piece_type(target) != KING && piece_colour(target) != piece_colour(piece);
}

// The interface is trusted to send legal moves, so they are not checked;
// only words that name no squares, moves that cannot be made (above) and
// moves beyond the room of the game history are skipped.
void play_move_list(char* list) {
  Board* board = game_board();
  for (char* word = std::strtok(list, " "); word; word = std::strtok(nullptr, " ")) {
    Move move = coordinate_move(word);
    if (move != MOVE_NONE && playable(board, move)) play_game_move(move);
  }
}

}  // namespace

void uci_position(char* args) {
  char* moves = std::strstr(args, "moves");
  if (moves && moves > args) moves[-1] = '\0';
  if (std::strstr(args, "startpos")) {
    set_game_position(START_FEN);
  } else if (std::strstr(args, "fen")) {
    set_game_position(std::strlen(args) >= 4 ? args + 4 : "");
  } else {
    return;
  }
  if (moves) play_move_list(moves + 5);
  clear_next_record();
}
