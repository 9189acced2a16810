#include "platform/stdin_reader.h"

#include <windows.h>

#include "platform/clock.h"
#include "platform/windows/stdin_thread.h"

namespace {

HANDLE input = nullptr;
bool prepared = false;
bool peeking = true;

// Decided once. A pipe from an interface is peeked at and read here. A
// console is read a whole line at a time by a thread (a key test would
// block the main loop from the first key to Enter, and wine's console
// answers it only while a read is waiting), and so is anything else that
// cannot be peeked at.
void prepare() {
  if (prepared) return;
  prepared = true;
  input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  DWORD waiting = 0;
  if (GetConsoleMode(input, &mode)) {
    // Window and mouse events are of no use to a line reader.
    SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
    FlushConsoleInputBuffer(input);
  } else if (PeekNamedPipe(input, nullptr, 0, nullptr, &waiting, nullptr) || GetLastError() == ERROR_BROKEN_PIPE) {
    return;
  }
  // Without the thread the reads below would block; still better than none.
  if (stdin_thread_start(input)) peeking = false;
}

StdinState look() {
  if (!peeking) return stdin_thread_state();
  DWORD waiting = 0;
  if (PeekNamedPipe(input, nullptr, 0, nullptr, &waiting, nullptr))
    return waiting > 0 ? STDIN_READY : STDIN_EMPTY;
  // Broken: the writer has gone. Anything else: the read reports it.
  return GetLastError() == ERROR_BROKEN_PIPE ? STDIN_CLOSED : STDIN_READY;
}

}  // namespace

StdinState stdin_wait(int timeout_ms) {
  prepare();
  double deadline = monotonic_seconds() + timeout_ms * 0.001;
  for (;;) {
    StdinState state = look();
    if (state != STDIN_EMPTY || monotonic_seconds() >= deadline) return state;
    sleep_ms(1);
  }
}

int stdin_read(char* buffer, int capacity) {
  prepare();
  if (!peeking) return stdin_thread_take(buffer, capacity);
  DWORD count = 0;
  if (ReadFile(input, buffer, static_cast<DWORD>(capacity), &count, nullptr))
    return static_cast<int>(count);
  // The writer closing its end is the ordinary end of input.
  return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}
