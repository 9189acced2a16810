#pragma once
// A fresh directory under the system's temporary folder for the files a test
// writes, removed with the object; entered, it is also the working directory
// for the object's life (the book builder and the tools work in the current
// directory).
#include <filesystem>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace tarn_test {

class ScratchDir {
 public:
  explicit ScratchDir(bool enter = true) : previous_(enter ? std::filesystem::current_path() : "") {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarn_test_XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
    if (enter && !path_.empty()) std::filesystem::current_path(path_);
  }
  ~ScratchDir() {
    if (!previous_.empty()) std::filesystem::current_path(previous_);
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path previous_, path_;
};

}  // namespace tarn_test
