#pragma once
// Helpers of the book tests: book files, and positions reached by moves.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/board_thread.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "book/book_file.h"
#include "core/engine_state.h"
#include "support/scratch_dir.h"

namespace book_test {

using tarn_test::ScratchDir;

inline void write_text(const char* name, const std::string& text) {
  FILE* f = std::fopen(name, "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

inline void write_book(const char* name, const std::vector<BookRecord>& records) {
  FILE* f = std::fopen(name, "wb");
  for (const BookRecord& r : records) write_record(f, r);
  std::fclose(f);
}

inline std::vector<BookRecord> read_book(const char* name) {
  std::vector<BookRecord> records;
  BookRecord r;
  if (FILE* f = std::fopen(name, "rb")) {
    while (read_record(f, &r)) records.push_back(r);
    std::fclose(f);
  }
  return records;
}

inline void load_book(const char* name) {
  std::snprintf(settings.book_file, sizeof settings.book_file, "%s", name);
  book_open_buffers();
  book_load();
}

// The move in coordinates ("e2e4", "e7e8q" in UCI mode).
inline std::string text_of(Move move) {
  char text[MOVE_TEXT_SIZE];
  move_text(move, text);
  return text;
}

// A thread block whose board is reset to the start position.
inline BoardThread* game_thread() {
  static BoardThread thread;  // zero-filled like every thread block
  if (!thread.board.thread) {
    init_attack_tables();
    init_keys();
    init_book_keys();
    link_board_thread(&thread);
  }
  parse_fen(&thread.board, START_FEN);
  return &thread;
}

// Plays `moves` from the start position (the board stays there) and returns
// a record of the position reached with the given counts.
inline BookRecord record_after(std::vector<const char*> moves, int wins = 0, int losses = 0, int draws = 0) {
  Board* board = &game_thread()->board;
  for (const char* text : moves) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    Move move = 0;
    parse_move_on(board, buffer, &move);
    make_move(board, move);
  }
  BookKey key = book_key(board);
  return BookRecord{book_target(key, board->side), key.key32, uint16_t(losses), uint16_t(wins),
                    uint16_t(draws), 0};
}

}  // namespace book_test
