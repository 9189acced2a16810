#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FILE* open_exclusive_for_writing(const char* path) {
  // Opened without truncation: only the owner of the lock may empty it.
  int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ftruncate(fd, 0) != 0) {
    close(fd);
    return nullptr;
  }
  FILE* file = fdopen(fd, "w");
  if (!file) close(fd);
  return file;
}
