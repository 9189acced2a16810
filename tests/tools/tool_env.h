#pragma once
// What the tool tests need: the engine's tables, the game position and a
// search worker, and a scratch working directory for the files the tools write.
#include <string>
#include <vector>

#include "support/scratch_dir.h"

// Tables and game position (and, with search, the hash table and a worker), once.
void tool_test_setup(bool search = false);

using tarn_test::ScratchDir;

void write_text_file(const std::string& name, const std::string& text);
std::string read_text_file(const std::string& name);
std::vector<std::string> read_lines(const std::string& name);
