#pragma once
// Helpers of the book tests: a scratch working directory (the build works in
// the current directory) and a game board.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "book/book_file.h"
#include "book/book_key.h"
#include "frontend/engine_state.h"
#include "search/search_thread.h"

namespace book_test {

// Makes a fresh directory the working directory for the life of the object.
class ScratchDir {
 public:
  ScratchDir() {
    previous_ = std::filesystem::current_path();
    char pattern[] = "/tmp/tarn_book_XXXXXX";
    path_ = mkdtemp(pattern);
    std::filesystem::current_path(path_);
  }
  ~ScratchDir() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::string path_;
};

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
  FILE* f = std::fopen(name, "rb");
  if (!f) return records;
  BookRecord r;
  while (read_record(f, &r)) records.push_back(r);
  std::fclose(f);
  return records;
}

// Points the engine at `name` and loads it.
inline void load_book(const char* name) {
  std::snprintf(settings.book_file, sizeof settings.book_file, "%s", name);
  book_open_buffers();
  book_load();
}

// A thread block whose board is the start position.
inline SearchThread* game_thread() {
  static SearchThread* thread = nullptr;
  if (!thread) {
    init_attack_tables();
    init_keys();
    init_book_keys();
    thread = alloc_thread_block();
  }
  parse_fen(&thread->board, START_FEN);
  return thread;
}

}  // namespace book_test
