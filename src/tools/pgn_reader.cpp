#include "tools/pgn_reader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Scores past the mate range would not fit the 16-bit move record; they are
// held at its edge, which every filter already treats as decisive.
int16_t clamp_score(double value) {
  if (value > 9999) return 9999;
  if (value < -9999) return -9999;
  return static_cast<int16_t>(value);
}

int16_t eval_score(const char* value, bool black_moved) {
  while (*value == ' ') value++;
  char* end = nullptr;
  long number = std::strtol(value, &end, 10);
  if (end == value) return PGN_BAD_SCORE;
  int16_t score = clamp_score(static_cast<double>(number));
  return black_moved ? static_cast<int16_t>(-score) : score;
}

int16_t slash_score(const char* comment, const char* slash) {
  char before[PGN_COMMENT_MAX];
  int length = static_cast<int>(slash - comment);
  if (length >= PGN_COMMENT_MAX) length = PGN_COMMENT_MAX - 1;
  std::memcpy(before, comment, length);
  before[length] = 0;
  if (std::strstr(before, "-M")) return -9000;
  if (std::strstr(before, "+M")) return 9000;
  const char* text = before;
  while (*text == ' ') text++;
  if (*text != '+' && *text != '-') return PGN_BAD_SCORE;
  // Pawns to centipawns, truncated toward zero like the engine's own output.
  // "+nan" converts too, and is no number to clamp.
  double pawns = std::atof(text);
  if (std::isnan(pawns)) return PGN_BAD_SCORE;
  return clamp_score(std::trunc(pawns * 100.0));
}

void copy_quoted(const char* line, char* out, int size) {
  out[0] = 0;
  const char* open = std::strchr(line, '"');
  if (!open) return;
  open++;
  int n = 0;
  while (open[n] && open[n] != '"' && n < size - 1) {
    out[n] = open[n];
    n++;
  }
  out[n] = 0;
}

void add_move(PgnReader& reader, const char* word, int length) {
  PgnGame& game = reader.game;
  reader.moves_pending = true;
  if (game.plies >= PGN_MAX_PLIES) return;
  if (length > PGN_MOVE_TEXT - 1) length = PGN_MOVE_TEXT - 1;
  std::memcpy(game.moves[game.plies], word, length);
  game.moves[game.plies][length] = 0;
  game.scores[game.plies] = PGN_NO_SCORE;
  game.plies++;
}

void close_comment(PgnReader& reader) {
  reader.comment[reader.comment_length] = 0;
  PgnGame& game = reader.game;
  if (game.plies == 0 || game.plies > PGN_MAX_PLIES) return;
  int last = game.plies - 1;
  // The list starts from the initial position, so odd plies are black's.
  game.scores[last] = comment_score(reader.comment, (last & 1) != 0);
}

void comment_char(PgnReader& reader, char c) {
  if (reader.comment_length < PGN_COMMENT_MAX - 1) reader.comment[reader.comment_length++] = c;
}

}  // namespace

int16_t comment_score(const char* comment, bool black_moved) {
  if (std::strstr(comment, "book")) return 0;
  if (const char* eval = std::strstr(comment, "eval ")) return eval_score(eval + 5, black_moved);
  if (const char* slash = std::strchr(comment, '/')) return slash_score(comment, slash);
  return PGN_BAD_SCORE;
}

int result_code(const char* header_line) {
  if (std::strstr(header_line, "1-0")) return 0;
  if (std::strstr(header_line, "0-1")) return 1;
  return 2;
}

void pgn_reader_start(PgnReader& reader) {
  std::memset(&reader, 0, sizeof reader);
  reader.game.result = 2;
}

void pgn_reader_next_game(PgnReader& reader) {
  reader.game.plies = 0;
  reader.moves_pending = false;
}

bool pgn_reader_header(PgnReader& reader, const char* line) {
  // A comment left open by a broken game must not swallow the games after it.
  reader.comment_depth = 0;
  reader.comment_length = 0;
  bool new_game = false;
  if (std::strstr(line, "Event ")) {
    reader.games++;
    new_game = true;
  }
  if (std::strstr(line, "White ")) copy_quoted(line, reader.game.white, sizeof reader.game.white);
  if (std::strstr(line, "Black ")) copy_quoted(line, reader.game.black, sizeof reader.game.black);
  if (std::strstr(line, "Result ")) reader.game.result = result_code(line);
  return new_game;
}

PgnLine pgn_reader_line(PgnReader& reader, const char* line) {
  if (line[0] == '[' && line[1] != '%') {
    return reader.moves_pending ? PgnLine::game_ready : PgnLine::header;
  }
  for (int i = 0; line[i]; i++) {
    char c = line[i];
    if (c == '{') {
      if (reader.comment_depth++ == 0) reader.comment_length = 0;
      continue;
    }
    if (c == '}') {
      if (reader.comment_depth > 0 && --reader.comment_depth == 0) close_comment(reader);
      continue;
    }
    if (reader.comment_depth > 0) {
      comment_char(reader, c);
      continue;
    }
    if (std::isalpha(static_cast<unsigned char>(c))) {
      int length = 0;
      while (line[i + length] && line[i + length] != ' ' && line[i + length] != '{') length++;
      add_move(reader, line + i, length);
      i += length - 1;
    }
  }
  // A comment that runs over the end of a line continues on the next one.
  if (reader.comment_depth > 0) comment_char(reader, ' ');
  return PgnLine::moves;
}

bool read_text_line(FILE* file, char* out, int size) {
  int n = 0;
  int c = std::fgetc(file);
  if (c == EOF) return false;
  while (c != EOF && c != '\n') {
    if (n < size - 1) out[n++] = static_cast<char>(c);
    c = std::fgetc(file);
  }
  if (n > 0 && out[n - 1] == '\r') n--;
  out[n] = 0;
  return true;
}
