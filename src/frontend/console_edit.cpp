// The board editor: lines of pieces per colour until ".".
#include <cctype>
#include <cstring>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/position_check.h"
#include "core/output.h"
#include "frontend/console.h"
#include "frontend/input.h"
#include "frontend/input_queue.h"
#include "frontend/text.h"
#include "search/game_position.h"

namespace {

constexpr int EDIT_LINE_MAX = 77;

int square_from_text(const char* text) {
  if (text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8') return NO_SQUARE;
  return make_square(text[0] - 'a', text[1] - '1');
}

int piece_type_from_letter(char letter) {
  const char* types = " pnbrqk";
  const char* at = std::strchr(types + 1, std::tolower(static_cast<unsigned char>(letter)));
  return letter && at ? static_cast<int>(at - types) : 0;
}

int pieces_of(const Board* board, int code) {
  int count = 0;
  while (board->plist[code][count] != NO_SQUARE) count++;
  return count;
}

// The editor works on unchecked boards; only the finished one is judged.
void clear_board() {
  Board* board = game_board();
  parse_fen(board, "8/8/8/8/8/8/8/8");  // keeps the side to move
  board->castle = CASTLE_WK | CASTLE_WQ | CASTLE_BK | CASTLE_BQ;
  board->ep = NO_SQUARE;
  board->fifty = 0;
}

// "w Pa2 Kc2": the side to move, then pieces of that colour.
void place_pieces(int colour, const char* line) {
  Board* board = game_board();
  board->side = static_cast<uint8_t>(colour);
  char word[EDIT_LINE_MAX + 1];
  const char* cursor = first_word(word, sizeof word, line);  // the colour letter
  for (;;) {
    cursor = first_word(word, sizeof word, cursor);
    if (!word[0]) return;
    int type = piece_type_from_letter(word[0]);
    int square = square_from_text(word + 1);
    if (square == NO_SQUARE) return;  // off the board ends the line
    if (type == 0) continue;
    int code = make_piece(type, colour);
    // A square list holds no more than a side can have; more cannot be placed.
    if (pieces_of(board, code) >= piece_limit[type] && board->squares[square] != code) continue;
    if (board->squares[square] != EMPTY) remove_piece(board, square);
    add_piece(board, code, square);
  }
}

// Rights survive only with king and rook at home.
void settle_castling(Board* board) {
  const uint8_t* s = board->squares;
  if (s[4] != WHITE_KING || s[7] != WHITE_ROOK) board->castle &= ~CASTLE_WK;
  if (s[4] != WHITE_KING || s[0] != WHITE_ROOK) board->castle &= ~CASTLE_WQ;
  if (s[60] != BLACK_KING || s[63] != BLACK_ROOK) board->castle &= ~CASTLE_BK;
  if (s[60] != BLACK_KING || s[56] != BLACK_ROOK) board->castle &= ~CASTLE_BQ;
}

// A board the engine cannot play from is refused: the position from before
// the editor comes back.
void leave_editor(const PositionSnapshot& before) {
  Board* board = game_board();
  settle_castling(board);
  if (!en_passant_consistent(board)) board->ep = NO_SQUARE;  // its pawn was edited away
  board->key = placement_key(board);
  board->pawn_key = pawn_placement_key(board);
  SearchThread* thread = game_thread();
  thread->history_count = 0;
  thread->ply = 1;
  thread->last_move = MOVE_NONE;
  thread->history[0].move = MOVE_NONE;
  thread->history[1].move = MOVE_NONE;
  if (const char* fault = position_fault(board)) {
    print_linef("illegal position: %s", fault);
    restore_snapshot(board, before);
  }
  print_board(board);
}

}  // namespace

void console_edit() {
  print_line("");
  print_line("");
  print_line(".                    end edit");
  print_line("#                    clear board");
  print_line("w  Pa2 Pb2 Kc2       white, pieces");
  print_line("b  Pa7 Pb7 Kc7       black, pieces");
  PositionSnapshot before;
  take_snapshot(game_board(), &before);
  char line[COMMAND_MAX + 1];
  while (read_input_line(line)) {
    line[EDIT_LINE_MAX] = '\0';
    if (!line[0]) continue;
    if (!std::strcmp(line, ".")) break;
    if (!std::strcmp(line, "#")) {
      clear_board();
    } else if (line[0] == 'w' || line[0] == 'b') {
      place_pieces(line[0] == 'w' ? WHITE : BLACK, line);
    }
  }
  leave_editor(before);
}
