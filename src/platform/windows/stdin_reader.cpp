#include "platform/stdin_reader.h"

#include <conio.h>
#include <windows.h>

#include "platform/clock.h"
#include "platform/windows/stdin_thread.h"

namespace {

enum InputKind { INPUT_PIPE, INPUT_CONSOLE, INPUT_THREAD };

HANDLE input = nullptr;
bool prepared = false;
InputKind kind = INPUT_PIPE;

// Decided once: an interface talks through a pipe, an operator types into
// the console, whose mode query fails on anything else.
void prepare() {
  if (prepared) return;
  prepared = true;
  input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(input, &mode)) {
    kind = INPUT_CONSOLE;
    // Window and mouse events would wake the key test without a line to read.
    SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
    FlushConsoleInputBuffer(input);
    return;
  }
  DWORD waiting = 0;
  if (PeekNamedPipe(input, nullptr, 0, nullptr, &waiting, nullptr) || GetLastError() == ERROR_BROKEN_PIPE)
    return;
  // No peeking here, so a read could block the main loop: a thread reads.
  if (stdin_thread_start(input)) kind = INPUT_THREAD;
}

StdinState look() {
  switch (kind) {
    case INPUT_CONSOLE:
      // A typed key means a line is on its way; the read then waits for it.
      return _kbhit() ? STDIN_READY : STDIN_EMPTY;
    case INPUT_THREAD: return stdin_thread_state();
    case INPUT_PIPE: break;
  }
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
  if (kind == INPUT_THREAD) return stdin_thread_take(buffer, capacity);
  DWORD count = 0;
  if (ReadFile(input, buffer, static_cast<DWORD>(capacity), &count, nullptr))
    return static_cast<int>(count);
  // The writer closing its end is the ordinary end of input.
  return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}
