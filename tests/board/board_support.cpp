#include "board_support.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "support/shared_data.h"

namespace board_test {

SearchThread* thread() {
  static SearchThread* block = [] {
    init_attack_tables();
    init_keys();
    SearchThread* t = alloc_thread_block();
    thread_table[0] = t;
    return t;
  }();
  return block;
}

Board* setup(const char* fen) {
  Board* board = &thread()->board;
  parse_fen(board, fen);
  return board;
}

std::vector<PerftRecord> perft_records() {
  std::vector<PerftRecord> records;
  std::ifstream in(tarn_test::shared_path("perft.epd"));
  for (std::string line; std::getline(in, line);) {
    size_t cut = line.find(';');
    if (cut == std::string::npos) continue;
    size_t end = line.find_last_not_of(' ', cut - 1);
    PerftRecord record{line.substr(0, end + 1), {}};
    std::istringstream fields(line.substr(cut));
    for (std::string field; std::getline(fields, field, ';');) {
      std::istringstream words(field);
      std::string depth;
      uint64_t count;
      if (words >> depth >> count) record.counts.push_back(count);
    }
    records.push_back(record);
  }
  return records;
}

std::vector<Move> legal_moves(const Board* board) {
  MoveEntry list[MAX_MOVES];
  gen_full_list(board, board->side, list);
  std::vector<Move> moves;
  for (MoveEntry* e = list; e->move != MOVE_END; ++e)
    if (is_legal(board, board->side, e->move)) moves.push_back(e->move);
  return moves;
}

std::vector<Move> random_walk(Board* board, std::mt19937& rng, int length) {
  std::vector<Move> played;
  for (int i = 0; i < length; ++i) {
    std::vector<Move> moves = legal_moves(board);
    if (moves.empty()) break;
    Move move = moves[rng() % moves.size()];
    make_move(board, move);
    played.push_back(move);
  }
  return played;
}

Snapshot snapshot(const Board* board) {
  const SearchThread* t = board->thread;
  return {*board, t->history_count, t->ply, t->last_move,
          std::vector<HistoryRecord>(t->history, t->history + t->history_count)};
}

std::string difference(const Snapshot& a, const Snapshot& b) {
  const Board &x = a.board, &y = b.board;
  if (std::memcmp(x.squares, y.squares, sizeof x.squares)) return "squares";
  if (std::memcmp(x.bb, y.bb, sizeof x.bb)) return "bitboards";
  for (int code = 0; code < 16; ++code)
    for (int i = 0; i < PLIST_SIZE; ++i) {
      if (x.plist[code][i] != y.plist[code][i]) return "square lists";
      if (x.plist[code][i] == NO_SQUARE) break;
    }
  if (x.key != y.key || x.pawn_key != y.pawn_key) return "keys";
  if (std::memcmp(x.signature, y.signature, sizeof x.signature)) return "signature";
  if (std::memcmp(x.material, y.material, sizeof x.material)) return "material";
  if (x.side != y.side || x.fifty != y.fifty || x.castle != y.castle || x.ep != y.ep) return "state";
  if (a.history_count != b.history_count || a.ply != b.ply || a.last_move != b.last_move) return "counters";
  for (size_t i = 0; i < a.history.size(); ++i)
    if (std::memcmp(&a.history[i], &b.history[i], sizeof(HistoryRecord))) return "history";
  return "";
}

}  // namespace board_test
