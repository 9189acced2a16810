#include "book/polyglot_choice.h"

#include <cstdlib>

#include "board/legality.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "book/polyglot_key.h"
#include "core/output.h"

namespace {

constexpr Move promotion_flag[5] = {0, PROMOTE_KNIGHT, PROMOTE_BISHOP, PROMOTE_ROOK, PROMOTE_QUEEN};

// The square the king lands on when `to` is its own rook's corner.
int castling_target(const Board* board, int from, int to) {
  int side = board->side;
  int home = side == WHITE ? 4 : 60;
  if (from != home || board->squares[from] != make_piece(KING, side)) return to;
  if (to == home + 3) return home + 2;
  if (to == home - 4) return home - 2;
  return to;
}

bool legal_here(const Board* board, const MoveEntry* list, Move move) {
  for (const MoveEntry* entry = list; entry->move != MOVE_END; ++entry)
    if (entry->move == move) return is_legal(board, board->side, move);
  return false;
}

uint32_t total_weight(const PolyglotCandidate* candidates, int count) {
  uint32_t total = 0;
  for (int i = 0; i < count; i++) total += candidates[i].weight;
  return total;
}

void list_candidates(const PolyglotCandidate* candidates, int count) {
  uint32_t total = total_weight(candidates, count);
  for (int i = 0; i < count; i++) {
    char text[MOVE_TEXT_SIZE];
    move_text(candidates[i].move, text);
    double share = total ? 100.0 * candidates[i].weight / total : 0.0;
    print_linef("%s   %5u   %5.1f%%", text, unsigned(candidates[i].weight), share);
  }
}

int keep_allowed(const RootMoves& only, PolyglotCandidate* candidates, int count) {
  int kept = 0;
  for (int i = 0; i < count; i++)
    if (root_move_allowed(only, candidates[i].move)) candidates[kept++] = candidates[i];
  return kept;
}

}  // namespace

Move polyglot_move(const Board* board, uint16_t stored) {
  int to = stored & 63;
  int from = (stored >> 6) & 63;
  int promotion = (stored >> 12) & 7;
  if (promotion > 4) return MOVE_NONE;
  if (promotion == 0) to = castling_target(board, from, to);
  return Move(make_move_word(from, to) | promotion_flag[promotion]);
}

int polyglot_candidates(const Board* board, const PolyglotEntry* entries, int count, PolyglotCandidate* out) {
  MoveEntry list[MAX_MOVES];
  gen_full_list(board, board->side, list);
  int found = 0;
  for (int i = 0; i < count; i++) {
    Move move = polyglot_move(board, entries[i].move);
    if (move != MOVE_NONE && legal_here(board, list, move)) out[found++] = {move, entries[i].weight};
  }
  return found;
}

Move polyglot_pick(const PolyglotCandidate* candidates, int count, int (*random)()) {
  uint32_t total = total_weight(candidates, count);
  if (total == 0) return MOVE_NONE;
  uint64_t point = uint64_t(random()) * total / (uint64_t(RAND_MAX) + 1);
  for (int i = 0; i < count; i++) {
    if (point < candidates[i].weight) return candidates[i].move;
    point -= candidates[i].weight;
  }
  return MOVE_NONE;
}

Move polyglot_find_move(const Board* board, bool listing, const RootMoves* only) {
  PolyglotEntry entries[POLYGLOT_MAX_ENTRIES];
  PolyglotCandidate candidates[POLYGLOT_MAX_ENTRIES];
  int count = polyglot_entries(polyglot_book, polyglot_key(board), entries);
  int found = polyglot_candidates(board, entries, count, candidates);
  if (only) found = keep_allowed(*only, candidates, found);
  if (listing) list_candidates(candidates, found);
  Move choice = polyglot_pick(candidates, found, std::rand);
  if (listing && choice != MOVE_NONE) {
    char text[MOVE_TEXT_SIZE];
    move_text(choice, text);
    print_linef("book move is %s", text);
  }
  return choice;
}
