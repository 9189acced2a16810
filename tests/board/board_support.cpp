#include "board_support.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"

namespace board_test {

Board* setup(const char* fen) {
  parse_fen(&thread()->board, fen);
  return &thread()->board;
}

std::vector<PerftRecord> perft_records() {
  std::vector<PerftRecord> records;
  std::ifstream in(tarn_test::shared_path("perft.epd"));
  for (std::string line; std::getline(in, line);) {
    size_t cut = line.find(';');
    if (cut == std::string::npos) continue;
    PerftRecord record{line.substr(0, line.find_last_not_of(' ', cut - 1) + 1), {}};
    std::istringstream fields(line.substr(cut));
    std::string depth;  // ";D1"
    for (uint64_t count; fields >> depth >> count;) record.counts.push_back(count);
    records.push_back(record);
  }
  return records;
}

std::vector<Move> legal_moves(const Board* board) {
  MoveEntry list[MAX_MOVES];
  std::vector<Move> moves;
  gen_full_list(board, board->side, list);
  for (MoveEntry* e = list; e->move != MOVE_END; ++e)
    if (is_legal(board, board->side, e->move)) moves.push_back(e->move);
  return moves;
}

void random_walk(Board* board, std::mt19937& rng, int length) {
  for (int i = 0; i < length; ++i) {
    std::vector<Move> moves = legal_moves(board);
    if (moves.empty()) return;
    make_move(board, moves[rng() % moves.size()]);
  }
}

// Bytes behind a list's terminator are left over from earlier moves and
// carry no meaning; they are cleared so that boards compare as memory. The
// squares' list places follow from the lists (board_consistent checks them)
// and are cleared too, so that a list reordered by hand still compares.
Snapshot snapshot(const Board* board) {
  const BoardThread* t = board->thread;
  Snapshot s{*board, t->history_count, t->ply, t->last_move, {t->history, t->history + t->history_count}};
  for (auto& list : s.board.plist)
    std::fill(std::find(list, list + PLIST_SIZE, NO_SQUARE), list + PLIST_SIZE, NO_SQUARE);
  std::fill(s.board.slot, s.board.slot + 64, 0);
  return s;
}

std::string difference(const Snapshot& a, const Snapshot& b) {
  if (std::memcmp(&a.board, &b.board, sizeof(Board))) return "board";
  if (a.history_count != b.history_count || a.ply != b.ply || a.last_move != b.last_move) return "counters";
  for (size_t i = 0; i < a.history.size(); ++i)
    if (std::memcmp(&a.history[i], &b.history[i], sizeof(HistoryRecord))) return "history";
  return "";
}

}  // namespace board_test
