#include "shared_data.h"

#include <sys/stat.h>

namespace tarn_test {

std::string shared_path(const std::string& relative) {
  return std::string(TARN_SHARED_DIR) + "/" + relative;
}

bool shared_exists(const std::string& relative) {
  struct stat st;
  return stat(shared_path(relative).c_str(), &st) == 0;
}

}  // namespace tarn_test
