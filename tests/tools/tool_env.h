#pragma once
// What the tool tests need around them: the engine's tables and game
// position, the search workers, and a scratch directory as the working
// directory (the tools write their files there).
#include <filesystem>
#include <string>
#include <vector>

// Builds the tables and the game position once per test program.
void tool_test_setup();

// Also allocates the transposition table and starts one search worker.
void tool_test_search_setup();

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::filesystem::path path() const { return dir_; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path previous_;
};

void write_text_file(const std::string& name, const std::string& text);
std::string read_text_file(const std::string& name);
std::vector<std::string> read_lines(const std::string& name);
