#include "book/book_choice.h"

#include <cmath>
#include <cstdlib>

#include "board/board_thread.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "book/book_file.h"
#include "book/polyglot_choice.h"
#include "core/engine_state.h"
#include "core/output.h"

namespace {

constexpr int MIN_GAMES = 9;  // wins + draws needed before a move is trusted

// Highest remaining score first, the earlier entry on ties.
int next_highest(const MoveEntry* list, int count, bool* taken) {
  int best = -1;
  for (int i = 0; i < count; i++) {
    if (taken[i]) continue;
    if (best < 0 || list[i].score > list[best].score) best = i;
  }
  taken[best] = true;
  return best;
}

}  // namespace

bool book_rating(int wins, int losses, int draws, int side, double* score, double* weight) {
  double points = wins + draws / 2.0;
  *score = points / double(wins + losses + draws);
  *weight = std::log(points);
  double threshold = side == WHITE ? 0.45 : 0.41;
  return wins + draws >= MIN_GAMES && *score > threshold;
}

uint16_t book_pick(const BookCandidate* candidates, int count, double max_weight, int variety,
                   int (*random)()) {
  if (variety < 1) variety = 1;
  double best = 0;
  uint16_t move = 0;
  for (int i = 0; i < count; i++) {
    double value = candidates[i].weight + 2 * ((random() % variety) * 0.01) * max_weight;
    if (value > best) {
      best = value;
      move = candidates[i].move;
    }
  }
  return move;
}

void book_choose(Board* board, bool listing, const RootMoves* only) {
  control.pv[1] = 0;
  control.pv[2] = 0;
  control.pv[1] = book_find_move(board, listing, only);
}

uint16_t book_find_move(Board* board, bool listing, const RootMoves* only) {
  if (polyglot_book.count > 0) return polyglot_find_move(board, listing, only);
  if (book.record_count == 0 || !book.window) return 0;

  // Zeroed first so that the visiting order is the generation order unless
  // the generators score their moves.
  static MoveEntry list[MAX_MOVES];
  static BookCandidate candidates[MAX_MOVES];
  bool taken[MAX_MOVES] = {};
  for (MoveEntry& entry : list) entry = MoveEntry{};
  int count = int(gen_full_list(board, board->side, list) - list);

  // After the first move the game must still be inside the book: a position
  // that is not there is never left again by a book move.
  if (board->thread->history_count > 0 && !book_lookup(book_key(board), board->side)) return 0;

  int side = board->side;
  int found = 0;
  double max_weight = 0;
  for (int n = 0; n < count; n++) {
    const MoveEntry& entry = list[next_highest(list, count, taken)];
    if (entry.move == MOVE_NONE || !is_legal(board, side, entry.move)) continue;
    if (only && !root_move_allowed(*only, entry.move)) continue;
    if (!make_move(board, entry.move)) continue;
    const BookRecord* record = book_lookup(book_key(board), board->side);
    unmake_move(board);
    if (!record) continue;
    int w = record->wins, l = record->losses, d = record->draws;
    if (w + d == 0) continue;
    double score, weight;
    if (book_rating(w, l, d, side, &score, &weight)) {
      candidates[found++] = {entry.move, weight};
      if (weight > max_weight) max_weight = weight;
    }
    if (listing) {
      char text[MOVE_TEXT_SIZE];
      move_text(entry.move, text);
      print_linef("%s   %5d - %5d - %5d   %0.3f  %0.3f", text, w, l, d, score, weight);
    }
  }
  uint16_t choice = 0;
  if (found > 0) choice = book_pick(candidates, found, max_weight, control.book_variety, std::rand);
  if (listing && choice != 0) {
    char text[MOVE_TEXT_SIZE];
    move_text(choice, text);
    print_linef("book move is %s", text);
  }
  return choice;
}
