#pragma once
// Locating the read-only data shared with the project (perft counts, test
// suites, tablebases, games). Tests that need it skip with a clear message
// when the folder is absent.
#include <string>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tarn_test {

// Full path of a file or folder inside the shared data folder.
inline std::string shared_path(const std::string& relative) { return std::string(TARN_SHARED_DIR) + "/" + relative; }

inline bool shared_exists(const std::string& relative) {
  struct stat st;
  return stat(shared_path(relative).c_str(), &st) == 0;
}

}  // namespace tarn_test

// Skips the current test when the shared item is missing.
#define TARN_REQUIRE_SHARED(relative)                                                     \
  do {                                                                                    \
    if (!tarn_test::shared_exists(relative))                                              \
      GTEST_SKIP() << "shared data missing: " << tarn_test::shared_path(relative)         \
                   << " (expected the shared folder beside the project)";                 \
  } while (0)
