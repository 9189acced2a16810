#include <cstring>

#include "board/fen.h"
#include "core/engine_state.h"
#include "frontend/uci.h"
#include "search/game_position.h"

namespace {

// File or rank character to 0..7, or -1 when it is neither.
int coordinate(char c, char first) {
  int value = c - first;
  return value >= 0 && value < 8 ? value : -1;
}

// Reads a coordinate move ("e2e4", "e7e8q") without asking whether it is
// legal; 0 when the text does not name two squares.
Move coordinate_move(const char* word) {
  if (std::strlen(word) < 4) return MOVE_NONE;
  int from_file = coordinate(word[0], 'a'), from_rank = coordinate(word[1], '1');
  int to_file = coordinate(word[2], 'a'), to_rank = coordinate(word[3], '1');
  if (from_file < 0 || from_rank < 0 || to_file < 0 || to_rank < 0) return MOVE_NONE;
  Move move = make_move_word(make_square(from_file, from_rank), make_square(to_file, to_rank));
  switch (word[4]) {
    case 'q': return move | PROMOTE_QUEEN;
    case 'n': return move | PROMOTE_KNIGHT;
    case 'b': return move | PROMOTE_BISHOP;
    case 'r': return move | PROMOTE_ROOK;
    default: return move;
  }
}

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
