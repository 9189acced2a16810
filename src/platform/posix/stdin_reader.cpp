#include "platform/stdin_reader.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

StdinState stdin_wait(int timeout_ms) {
  pollfd request{};
  request.fd = STDIN_FILENO;
  request.events = POLLIN;
  int ready = poll(&request, 1, timeout_ms);
  if (ready < 0) return errno == EINTR ? STDIN_EMPTY : STDIN_CLOSED;
  if (ready == 0) return STDIN_EMPTY;
  // Data first: a writer that sends its last lines and closes at once shows
  // both POLLIN and POLLHUP, and those lines must still be read.
  if (request.revents & POLLIN) return STDIN_READY;
  return STDIN_CLOSED;
}

int stdin_read(char* buffer, int capacity) {
  for (;;) {
    ssize_t count = read(STDIN_FILENO, buffer, static_cast<size_t>(capacity));
    if (count >= 0) return static_cast<int>(count);
    if (errno != EINTR) return -1;
  }
}
