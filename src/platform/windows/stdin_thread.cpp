#include "platform/windows/stdin_thread.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// One chunk in hand at a time: the reader waits until the main thread has
// taken it all, so nothing is read far ahead of the command queue.
std::mutex lock;
std::condition_variable taken;
char chunk[4096];
int chunk_length = 0;
int chunk_start = 0;
bool ended = false;

void read_loop(HANDLE input) {
  char bytes[sizeof chunk];
  for (;;) {
    DWORD count = 0;
    bool ok = ReadFile(input, bytes, sizeof bytes, &count, nullptr) != 0;
    std::unique_lock<std::mutex> guard(lock);
    if (!ok || count == 0) {
      ended = true;
      return;
    }
    taken.wait(guard, [] { return chunk_start == chunk_length; });
    std::memcpy(chunk, bytes, count);
    chunk_start = 0;
    chunk_length = static_cast<int>(count);
  }
}

}  // namespace

bool stdin_thread_start(HANDLE input) {
  // Detached: at exit it may still be waiting in ReadFile, and the process
  // ends it there.
  try {
    std::thread(read_loop, input).detach();
  } catch (...) {
    return false;
  }
  return true;
}

StdinState stdin_thread_state() {
  std::lock_guard<std::mutex> guard(lock);
  if (chunk_start < chunk_length) return STDIN_READY;
  return ended ? STDIN_CLOSED : STDIN_EMPTY;
}

int stdin_thread_take(char* buffer, int capacity) {
  std::lock_guard<std::mutex> guard(lock);
  int count = chunk_length - chunk_start;
  if (count > capacity) count = capacity;
  std::memcpy(buffer, chunk + chunk_start, static_cast<size_t>(count));
  chunk_start += count;
  if (chunk_start == chunk_length) taken.notify_one();
  return count;
}
