#include "core/log_file.h"

#include "core/message.h"
#include "core/output.h"
#include "platform/file_lock.h"

void open_log() {
  // Deleting a file another process has open succeeds here, which would let
  // two engines write over each other; the lock is what says "in use".
  log_file = open_exclusive_for_writing(LOG_FILE_NAME);
  if (!log_file) {
    print_message("log file in use");
    print_message("");
  }
}

void close_log() {
  if (!log_file) return;
  FILE* file = log_file;
  log_file = nullptr;
  std::fclose(file);
}
