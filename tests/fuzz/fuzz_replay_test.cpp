// Every saved fuzz input through its target: the seed corpus, and the
// regression inputs (crashes make fuzz once found, fixed since). A target
// aborts on a crash or on a property it checks, which fails the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace fs = std::filesystem;

// Filled by the targets' static initialisers, so it must exist before any.
static std::map<std::string, FuzzEntry>& registered() {
  static std::map<std::string, FuzzEntry> targets;
  return targets;
}

bool register_fuzz_target(const char* name, FuzzEntry entry) {
  registered()[name] = entry;
  return true;
}

namespace {

const char* const target_names[] = {"position", "session", "move_text", "pgn",
                                    "config",   "book",    "polyglot",  "tablebase"};

std::vector<fs::path> inputs(const std::string& folder) {
  std::vector<fs::path> files;
  const fs::path path = fs::path(TARN_FUZZ_DIR) / folder;
  if (fs::is_directory(path))
    for (const auto& entry : fs::directory_iterator(path))
      if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

class FuzzReplay : public testing::TestWithParam<const char*> {};

TEST_P(FuzzReplay, SeedsAndRegressionsRunClean) {
  const std::string name = GetParam();
  FuzzEntry entry = registered()[name];
  ASSERT_NE(entry, nullptr) << "no fuzz target named " << name;
  std::vector<fs::path> files = inputs("corpus/" + name);
  EXPECT_FALSE(files.empty()) << "a target needs a seed corpus";
  for (const fs::path& file : inputs("regressions/" + name)) files.push_back(file);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The engine talks a lot on standard output; the test report stays readable.
    testing::internal::CaptureStdout();
    EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
    testing::internal::GetCapturedStdout();
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(target_names),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
