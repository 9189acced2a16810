#include "core/root_moves.h"

bool root_move_allowed(const RootMoves& only, uint16_t move) {
  if (only.count == 0) return true;
  for (int i = 0; i < only.count; ++i)
    if (only.moves[i] == move) return true;
  return false;
}

void add_root_move(RootMoves& only, uint16_t move) {
  if (only.count > 0 && root_move_allowed(only, move)) return;
  if (only.count < ROOT_MOVES_MAX) only.moves[only.count++] = move;
}
