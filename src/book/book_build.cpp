#include "book/book_build.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "board/board_thread.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "book/book_file.h"
#include "book/book_key.h"
#include "book/book_merge.h"
#include "core/output.h"

namespace {

enum GameResult { WHITE_WON, BLACK_WON, DRAWN };

constexpr int LINE_READ = 255;  // fgets size: at most 254 characters per read

struct GameState {
  GameResult result;
  int games;
  bool stop;           // the rest of this game is ignored
  int comment_depth;   // brace comments
  int variation_depth; // parenthesised variations
};

bool is_separator(char c) { return c == ' ' || c == '{' || c == '}' || c == '(' || c == ')'; }

void count_position(BookBatch& batch, const Board* board, GameResult result) {
  BookKey key = book_key(board);
  BookRecord* record = batch_find_or_insert(batch, book_target(key, board->side), key.key32);
  if (!record) return;  // a full batch cannot take a new position; its count is dropped
  int winner = result == WHITE_WON ? WHITE : BLACK;
  if (result == DRAWN) {
    record->draws = capped_sum(record->draws, 1);
  } else if (winner == board->side) {
    record->losses = capped_sum(record->losses, 1);
  } else {
    record->wins = capped_sum(record->wins, 1);
  }
}

void start_game(Board* board, GameState& game, const char* line, BookBatch& batch) {
  parse_fen(board, START_FEN);
  game.result = std::strstr(line, "1-0") ? WHITE_WON : std::strstr(line, "0-1") ? BLACK_WON : DRAWN;
  game.games++;
  if (game.games % BOOK_FLUSH_GAMES == 0) {
    batch_flush(batch);
    if (game.games % BOOK_MERGE_GAMES == 0) book_merge();
  }
  game.stop = false;
  game.comment_depth = 0;
  game.variation_depth = 0;
}

void play_token(Board* board, GameState& game, char* token, BookBatch& batch) {
  if (std::strcmp(token, "{") == 0) {
    game.comment_depth++;
  } else if (std::strcmp(token, "}") == 0) {
    game.comment_depth--;
  } else if (std::strcmp(token, "(") == 0) {
    game.variation_depth++;
  } else if (std::strcmp(token, ")") == 0) {
    game.variation_depth--;
  } else if (game.comment_depth <= 0 && game.variation_depth <= 0) {
    char* text = const_cast<char*>(pgn_move_text(token));
    if (!text) return;
    Move move;
    if (!parse_move_on(board, text, &move) || !make_move(board, move)) {
      game.stop = true;
      return;
    }
    count_position(batch, board, game.result);
  }
}

void read_line(Board* board, GameState& game, char* line, BookBatch& batch) {
  if (std::strstr(line, "[Result")) {
    start_game(board, game, line, batch);
    return;
  }
  if (game.comment_depth <= 0 && (line[0] == '[' || line[0] == ';')) {
    // The header of a game that has no result tag must not continue the
    // previous game: once moves were played, a tag line ends the recording.
    if (line[0] == '[' && board->thread->history_count > 0) game.stop = true;
    return;
  }
  PgnCursor cursor{line};
  char token[LINE_READ + 2];  // parse_move may lengthen the text by one
  while (pgn_token(cursor, token, LINE_READ)) {
    if (game.stop || board->thread->history_count >= BOOK_PLIES) return;
    if (token[0] == '$' || token[0] == ';') continue;
    play_token(board, game, token, batch);
  }
}

}  // namespace

bool pgn_token(PgnCursor& cursor, char* out, int size) {
  const char* p = cursor.next;
  while (*p == ' ') p++;
  if (*p == 0) {
    cursor.next = p;
    return false;
  }
  int length = 0;
  if (*p == '{' || *p == '}' || *p == '(' || *p == ')') {
    out[length++] = *p++;
  } else {
    for (; *p && !is_separator(*p); p++) {
      unsigned char c = static_cast<unsigned char>(*p);
      if (c >= 32 && c <= 127 && length < size - 1) out[length++] = char(c);
    }
  }
  out[length] = 0;
  cursor.next = p;
  return true;
}

const char* pgn_move_text(const char* token) {
  for (const char* p = token; *p; p++) {
    if (std::isalpha(static_cast<unsigned char>(*p))) return p;
    if (p[0] == '0' && p[1] == '-') return p;
  }
  return nullptr;
}

void book_build(Board* board) {
  if (book.window_capacity < BOOK_BATCH && !book_resize_window(BOOK_BATCH)) return;
  // No lookup may read the batch as if it were a book window.
  book.record_count = 0;
  book.window_prefix = -1;
  BookBatch batch{book.window, book.window_capacity, 0};
  std::remove("book.opn");
  // Counts left by an interrupted build belong to no known set of games.
  std::remove("tmp.opn");
  std::remove("tmp__0.opn");
  FILE* pgn = std::fopen("book.pgn", "r");
  if (!pgn) return;

  GameState game{DRAWN, 0, true, 0, 0};
  parse_fen(board, START_FEN);
  char line[LINE_READ + 1];
  while (std::fgets(line, LINE_READ, pgn)) {
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) line[--length] = 0;
    read_line(board, game, line, batch);
  }
  std::fclose(pgn);
  batch_flush(batch);
  book_merge();
  book_prune(BOOK_MIN_GAMES);
  print_line("done");
  parse_fen(board, START_FEN);
}
