#include "board/notation.h"

#include <cstring>

#include "board/attacks.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "core/engine_state.h"
#include "core/output.h"

namespace {

const char san_letters[] = " PNBRQK";

const char* promotion_suffix(Move move) {
  switch (promotion_type(move)) {
    case QUEEN: return "=Q";
    case KNIGHT: return "=N";
    case BISHOP: return "=B";
    case ROOK: return "=R";
    default: return "";
  }
}

void append(char* text, const char* tail) { std::strcat(text, tail); }

void append_char(char* text, char c) {
  size_t n = std::strlen(text);
  text[n] = c;
  text[n + 1] = '\0';
}

// Other pieces of the mover's code that also reach the destination.
Bitboard rivals(const Board* board, int code, int from, int to) {
  Bitboard occ = occupancy(board) | square_bit(to);
  Bitboard reach = 0;
  int type = piece_type(code);
  if (type == KNIGHT) reach = knight_attacks[to];
  if (type == BISHOP || type == QUEEN) reach |= bishop_attacks(to, occ);
  if (type == ROOK || type == QUEEN) reach |= rook_attacks(to, occ);
  if (type == KING) reach = king_attacks[to];
  return reach & board->bb[code] & ~square_bit(from);
}

void piece_san(const Board* board, Move move, char* san, char* san_file, char* san_rank) {
  int from = move_from(move), to = move_to(move);
  int code = board->squares[from];
  if (piece_type(code) == KING && (to == from + 2 || to == from - 2)) {
    bool king_side = to > from;
    std::strcpy(san, king_side ? "o-o" : "o-o-o");
    std::strcpy(san_file, king_side ? "O-O" : "O-O-O");
    std::strcpy(san_rank, king_side ? "0-0" : "0-0-0");
    return;
  }
  char letter[2] = {san_letters[piece_type(code)], '\0'};
  std::strcpy(san_file, letter);
  std::strcpy(san_rank, letter);
  append_char(san_file, square_name[from][0]);
  append_char(san_rank, square_name[from][1]);
  Bitboard others = rivals(board, code, from, to);
  if (!others) std::strcpy(san, letter);
  else if (others & (0x0101010101010101ull << file_of(from))) std::strcpy(san, san_rank);
  else std::strcpy(san, san_file);
  if (board->squares[to]) {
    append(san, "x");
    append(san_file, "x");
    append(san_rank, "x");
  }
  append(san, square_name[to]);
  append(san_file, square_name[to]);
  append(san_rank, square_name[to]);
}

// A quiet pawn move has no short form: san_file and san_rank stay empty.
void pawn_san(const Board* board, Move move, char* coord, char* san, char* san_file) {
  int from = move_from(move), to = move_to(move);
  if (is_promotion(move)) coord[4] = '\0';
  if (board->squares[to] || to == board->ep) {
    char text[4] = {square_name[from][0], 'x', '\0', '\0'};
    std::strcpy(san, text);
    append(san, square_name[to]);
    char short_form[3] = {square_name[from][0], square_name[to][0], '\0'};
    std::strcpy(san_file, short_form);
  } else {
    std::strcpy(san, square_name[to]);
  }
  if (is_promotion(move)) {
    const char* suffix = promotion_suffix(move);
    append(coord, suffix);
    append(san, suffix);
    if (*san_file) append(san_file, suffix);
  }
}

// The piece move without any origin ("Nd2"). For a move that needs an
// origin this names several moves at once, which lets the parser say
// "ambiguous move" instead of silently finding nothing.
void bare_san(const Board* board, Move move, char* out) {
  int from = move_from(move), to = move_to(move);
  int type = piece_type(board->squares[from]);
  *out = '\0';
  if (type == PAWN || (type == KING && (to == from + 2 || to == from - 2))) return;
  out[0] = san_letters[type];
  out[1] = '\0';
  if (board->squares[to]) append(out, "x");
  append(out, square_name[to]);
}

void strip_check(char* text) {
  if (char* plus = std::strchr(text, '+')) *plus = '\0';
}

bool is_file_letter(char c) { return c >= 'a' && c <= 'h'; }

// "e7e8q" becomes "e7e8=Q", castling in any spelling becomes "o-o". The
// two-letter pawn capture ("ab", "cb") is left alone: its final b is a file.
void normalise(char* text) {
  if (char* plus = std::strchr(text, '+')) *plus = '\0';
  size_t n = std::strlen(text);
  bool short_capture = n == 2 && is_file_letter(text[0]) && is_file_letter(text[1]);
  if (n > 0 && !short_capture) {
    char last = text[n - 1];
    if (last >= 'a' && last <= 'z') last = static_cast<char>(last - 'a' + 'A');
    if (last == 'B' || last == 'N' || last == 'Q' || last == 'R') {
      if (n < 2 || text[n - 2] != '=') {
        text[n - 1] = '=';
        text[n++] = last;
        text[n] = '\0';
      }
      text[n - 1] = last;
    }
  }
  for (char* p = text; *p; ++p)
    if (*p == 'O' || *p == '0') *p = 'o';
}

// File or rank character to 0..7, or -1 when it is neither.
int coordinate(char c, char first) {
  int value = c - first;
  return value >= 0 && value < 8 ? value : -1;
}

}  // namespace

void move_text_plain(Move move, char* out) {
  std::strcpy(out, square_name[move_from(move)]);
  append(out, square_name[move_to(move)]);
  if (!is_promotion(move)) return;
  if (settings.protocol == 2) append_char(out, "  nbrq"[promotion_type(move)]);
  else append(out, promotion_suffix(move));
}

void move_text(Move move, char* out) {
  if (move == MOVE_NONE) std::strcpy(out, "null");
  else move_text_plain(move, out);
}

int move_san(const Board* board, Move move, char* coord, char* san, char* san_file, char* san_rank) {
  int from = move_from(move), to = move_to(move);
  move_text(move, coord);
  *san = *san_file = *san_rank = '\0';
  if (piece_type(board->squares[from]) == PAWN) pawn_san(board, move, coord, san, san_file);
  else piece_san(board, move, san, san_file, san_rank);

  MoveEntry entry{move, 0, board->squares[from], board->squares[to]};
  int check = gives_check(board, board->side, entry);
  if (check) {
    for (char* text : {coord, san, san_file, san_rank})
      if (*text) append(text, "+");
  }
  return check;
}

int parse_move_on(const Board* board, char* text, Move* out) {
  *out = MOVE_NONE;
  normalise(text);
  if (!*text) return 0;

  MoveEntry list[MAX_MOVES];
  gen_full_list(board, board->side, list);
  int matches = 0;
  char texts[5][MOVE_TEXT_SIZE];
  for (const MoveEntry* entry = list; entry->move != MOVE_END; ++entry) {
    move_san(board, entry->move, texts[0], texts[1], texts[2], texts[3]);
    bare_san(board, entry->move, texts[4]);
    bool same = false;
    for (char* candidate : texts) {
      strip_check(candidate);
      same = same || (*candidate && std::strcmp(candidate, text) == 0);
    }
    if (same && entry->move != MOVE_NONE && is_legal(board, board->side, entry->move)) {
      ++matches;
      *out = entry->move;
    }
  }
  if (matches == 1) return 1;
  if (matches == 2) print_line("ambiguous move");
  return 0;
}

Move coordinate_move(const char* text) {
  if (std::strlen(text) < 4) return MOVE_NONE;
  int from_file = coordinate(text[0], 'a'), from_rank = coordinate(text[1], '1');
  int to_file = coordinate(text[2], 'a'), to_rank = coordinate(text[3], '1');
  if (from_file < 0 || from_rank < 0 || to_file < 0 || to_rank < 0) return MOVE_NONE;
  Move move = make_move_word(make_square(from_file, from_rank), make_square(to_file, to_rank));
  switch (text[4]) {
    case 'q': return move | PROMOTE_QUEEN;
    case 'n': return move | PROMOTE_KNIGHT;
    case 'b': return move | PROMOTE_BISHOP;
    case 'r': return move | PROMOTE_ROOK;
    default: return move;
  }
}
