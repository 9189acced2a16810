#include "search/game_position.h"

#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position_check.h"

int parse_move(char* text, Move* out) { return parse_move_on(game_board(), text, out); }

const char* set_game_position(const char* fen) { return set_position(game_board(), fen ? fen : START_FEN); }

bool play_game_move(Move move) {
  Board* board = game_board();
  // Moves beyond the limit would leave a search no room in the history.
  if (!history_room(board)) return false;
  return make_move(board, move);
}

void clear_next_record() {
  SearchThread* thread = game_thread();
  thread->history[thread->history_count].move = MOVE_NONE;
}

bool is_legal_game_move(Move move) {
  Board* board = game_board();
  MoveEntry list[MAX_MOVES];
  gen_full_list(board, board->side, list);
  for (const MoveEntry* entry = list; entry->move != MOVE_END; entry++)
    if (entry->move == move) return is_legal(board, board->side, move);
  return false;
}

void take_back_all() {
  while (game_thread()->history_count > 0) unmake_move(game_board());
}
