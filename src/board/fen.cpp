#include "board/fen.h"

#include <cstring>

#include "board/board_thread.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/position_check.h"
#include "core/message.h"
#include "core/output.h"

namespace {

void clear_board(Board* board) {
  std::memset(board->squares, 0, sizeof board->squares);
  std::memset(board->bb, 0, sizeof board->bb);
  for (auto& list : board->plist) list[0] = NO_SQUARE;
  board->key = board->pawn_key = 0;
  board->signature[0] = board->signature[1] = 0;
  board->material[0] = board->material[1] = 0;
  board->fifty = 0;
  board->castle = 15;
  board->ep = NO_SQUARE;
}

int list_length(const Board* board, int code) {
  int n = 0;
  while (board->plist[code][n] != NO_SQUARE) ++n;
  return n;
}

// The letter table holds white types at 1..6 and black types at 8..13.
int piece_code(char c) {
  if (c == ' ' || c == '\0') return 0;
  const char* found = std::strchr(piece_letters, c);
  if (!found) return 0;
  int index = static_cast<int>(found - piece_letters);
  return index < 7 ? index : make_piece(index - 7, BLACK);
}

// Reads the placement field and returns the character that ended it. Once a
// '/' leads below the first rank the rest of the field is read but dropped;
// a piece beyond its list's room is dropped too and noted in `crowded`.
// Pieces never advance past the h-file, so a rank with too many pieces
// would pile them onto one square: only the first one stays.
const char* read_placement(Board* board, const char* p, uint16_t* crowded) {
  int sq = 56;
  bool off_board = false;
  for (; *p && *p != ' '; ++p) {
    char c = *p;
    int h_file = sq | 7;
    if (c == '/') {
      if (rank_of(sq) == 0) off_board = true;
      else sq -= file_of(sq) + 8;
    } else if (c >= '0' && c <= '9') {
      sq = sq + (c - '0') > h_file ? h_file : sq + (c - '0');
    } else {
      int code = piece_code(c);
      if (code && !off_board && board->squares[sq] == EMPTY) {
        if (list_length(board, code) < piece_limit[piece_type(code)]) add_piece(board, code, sq);
        else *crowded |= static_cast<uint16_t>(1 << code);
      }
      if (sq != h_file) ++sq;
    }
  }
  return p;
}

const char* skip_spaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

const char* read_castling(Board* board, const char* p) {
  board->castle = 0;
  for (p = skip_spaces(p); *p && *p != ' '; ++p) {
    const char* found = std::strchr("KQkq", *p);
    if (found) board->castle |= static_cast<uint8_t>(1 << (found - "KQkq"));
  }
  return p;
}

// A square is kept only when it can be a real en-passant target; anything
// else would let make/unmake remove a piece that is not there.
void read_en_passant(Board* board, const char* p) {
  int ep = NO_SQUARE;
  for (p = skip_spaces(p); *p && *p != ' '; ++p) {
    if (*p >= 'a' && *p <= 'h') ep = *p - 'a';
    else if (*p >= '1' && *p <= '8') ep += 8 * (*p - '1');
  }
  board->ep = ep >= 0 && ep < 64 ? static_cast<uint8_t>(ep) : NO_SQUARE;
  if (!en_passant_consistent(board)) board->ep = NO_SQUARE;
}

// Each right needs its king and rook on their home squares.
bool check_castling(Board* board) {
  static const struct { uint8_t right, king_sq, king, rook_sq, rook; } homes[4] = {
      {CASTLE_WK, 4, WHITE_KING, 7, WHITE_ROOK},
      {CASTLE_WQ, 4, WHITE_KING, 0, WHITE_ROOK},
      {CASTLE_BK, 60, BLACK_KING, 63, BLACK_ROOK},
      {CASTLE_BQ, 60, BLACK_KING, 56, BLACK_ROOK}};
  bool good = true;
  for (const auto& home : homes) {
    if (!(board->castle & home.right)) continue;
    if (board->squares[home.king_sq] != home.king || board->squares[home.rook_sq] != home.rook) {
      board->castle &= static_cast<uint8_t>(~home.right);
      good = false;
    }
  }
  return good;
}

void reset_history(Board* board) {
  BoardThread* thread = board->thread;
  thread->history_count = 0;
  thread->ply = 1;
  thread->last_move = 0;
  std::memset(&thread->history[0], 0, 2 * sizeof(HistoryRecord));
}

}  // namespace

FenReading read_fen(Board* board, const char* text) {
  FenReading reading{false, 0};
  clear_board(board);
  const char* p = read_placement(board, text, &reading.crowded);
  if (*p) {
    ++p;  // the space that ended the placement
    if (*p == 'w') board->side = WHITE;
    else if (*p == 'b') board->side = BLACK;
    if (*p) ++p;
  }
  p = read_castling(board, p);
  read_en_passant(board, p);
  reset_history(board);
  reading.castling_removed = !check_castling(board);
  board->key = placement_key(board);
  board->pawn_key = pawn_placement_key(board);
  return reading;
}

void parse_fen(Board* board, const char* text) {
  if (read_fen(board, text).castling_removed) print_message("Illegal EPD record");
}

void board_to_fen(const Board* board, char* out) {
  char* p = out;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      int code = board->squares[make_square(file, rank)];
      if (!code) {
        ++empty;
        continue;
      }
      if (empty) *p++ = digit_letters[empty];
      empty = 0;
      *p++ = piece_letter(code);
    }
    if (empty) *p++ = digit_letters[empty];
    if (rank) *p++ = '/';
  }
  *p++ = ' ';
  *p++ = board->side == WHITE ? 'w' : 'b';
  *p++ = ' ';
  if (!board->castle) *p++ = '-';
  for (int i = 0; i < 4; ++i)
    if (board->castle & (1 << i)) *p++ = "KQkq"[i];
  *p++ = ' ';
  if (board->ep == NO_SQUARE) {
    *p++ = '-';
  } else {
    *p++ = square_name[board->ep][0];
    *p++ = square_name[board->ep][1];
  }
  *p = '\0';
}

void print_board(const Board* board) {
  char text[FEN_BUFFER + 8 * 18 + 8];
  board_to_fen(board, text);
  char* p = text + std::strlen(text);
  *p++ = '\n';
  for (int rank = 7; rank >= 0; --rank) {
    *p++ = ' ';
    for (int file = 0; file < 8; ++file) {
      int code = board->squares[make_square(file, rank)];
      *p++ = ' ';
      if (!code) *p++ = ((file ^ rank) & 1) ? '-' : '+';
      else *p++ = piece_colour(code) == WHITE ? white_diagram[piece_type(code)] : black_diagram[piece_type(code)];
    }
    *p++ = '\n';
  }
  std::strcpy(p, board->side == WHITE ? "white\n" : "black\n");
  print_line(text);
}
