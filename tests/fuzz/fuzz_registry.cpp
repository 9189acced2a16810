#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_target.h"

namespace {

struct RegisteredTarget {
  const char* name;
  FuzzEntry entry;
};

// Function-local, so registration from any file's static initialiser finds
// it ready.
RegisteredTarget* targets(int** count) {
  static RegisteredTarget table[16];
  static int used = 0;
  *count = &used;
  return table;
}

}  // namespace

bool register_fuzz_target(const char* name, FuzzEntry entry) {
  int* count;
  RegisteredTarget* table = targets(&count);
  if (*count >= 16) return false;
  table[(*count)++] = {name, entry};
  return true;
}

FuzzEntry find_fuzz_target(const char* name) {
  int* count;
  RegisteredTarget* table = targets(&count);
  for (int i = 0; i < *count; i++)
    if (std::strcmp(table[i].name, name) == 0) return table[i].entry;
  return nullptr;
}

void fuzz_failure(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: fuzz property failed: %s\n", file, line, condition);
  std::abort();
}
