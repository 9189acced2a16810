// Move text in both notations: the first line is a position (the start
// position when it is refused), every further line a move. The console
// reads them as typed moves (SAN or coordinates), the UCI interpreter as
// the move list of a "position" command; neither may play an illegal move.
#include <cstring>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/position_check.h"
#include "core/engine_state.h"
#include "frontend/console.h"
#include "frontend/uci.h"
#include "fuzz/fuzz_support.h"
#include "search/game_position.h"

namespace {

constexpr size_t MOVES = 64;

// Every legal move's coordinate text reads back as that move; its SAN
// reads back as that move or, where SAN cannot tell pieces apart, as none.
void check_texts() {
  const Board* board = game_board();
  MoveEntry list[MAX_MOVES];
  gen_full_list(board, board->side, list);
  for (const MoveEntry* entry = list; entry->move != MOVE_END; entry++) {
    if (!is_legal(board, board->side, entry->move)) continue;
    char texts[4][MOVE_TEXT_SIZE];
    move_san(board, entry->move, texts[0], texts[1], texts[2], texts[3]);
    for (int i = 0; i < 2; i++) {
      char text[MOVE_TEXT_SIZE + 1];
      std::strcpy(text, texts[i]);
      Move read = MOVE_NONE;
      int found = parse_move(text, &read);
      FUZZ_CHECK(i == 1 || found == 1);
      FUZZ_CHECK(!found || read == entry->move);
    }
  }
}

void type_moves(const std::vector<std::string>& lines) {
  settings.protocol = 0;
  for (size_t i = 1; i < lines.size(); i++) {
    std::vector<char> text(lines[i].begin(), lines[i].end());
    text.resize(text.size() + 2, '\0');
    Move move = MOVE_NONE;
    if (parse_move(text.data(), &move)) FUZZ_CHECK(is_legal_game_move(move));
    std::string command = "move " + lines[i];
    console_command(command.data());
    FUZZ_CHECK(position_fault(game_board()) == nullptr);
  }
  fuzz_check_game_board();
  check_texts();
}

void send_move_list(const std::string& fen, const std::vector<std::string>& lines) {
  settings.protocol = 2;
  std::string command = "position fen " + fen + " moves";
  for (size_t i = 1; i < lines.size(); i++) command += " " + lines[i];
  uci_command(command.data());
  fuzz_check_game_board();
  FUZZ_CHECK(position_fault(game_board()) == nullptr);
  check_texts();
}

}  // namespace

TARN_FUZZ_TARGET(move_text) {
  std::vector<std::string> lines = fuzz_lines(data, size, MOVES + 1);
  if (lines.empty()) return 0;
  std::string fen = set_game_position(lines[0].c_str()) ? START_FEN : lines[0];
  type_moves(lines);
  set_game_position(START_FEN);
  send_move_list(fen, lines);
  return 0;
}
