#include "frontend/input.h"

#include <cstring>

#include "core/engine_state.h"
#include "frontend/console.h"
#include "frontend/input_queue.h"
#include "frontend/uci.h"
#include "platform/clock.h"
#include "platform/stdin_reader.h"

namespace {

// A terminal and a pipe are read the same way: poll says whether bytes are
// waiting, and a terminal in line mode hands over only whole lines anyway.
InputQueue pending;
bool end_of_input = false;

// Moves what standard input holds into the queue, waiting at most
// `timeout_ms` for it. Returns false once the input has ended.
bool fill_queue(int timeout_ms) {
  if (end_of_input) return false;
  int room = queue_room(&pending);
  if (room == 0) return true;  // the queued commands must be taken first
  StdinState state = stdin_wait(timeout_ms);
  if (state == STDIN_EMPTY) return true;
  char bytes[COMMAND_MAX];
  int want = room < COMMAND_MAX ? room : COMMAND_MAX;
  int count = stdin_read(bytes, want);
  if (count > 0) {
    queue_bytes(&pending, bytes, count);
    return true;
  }
  // End of input (or a read error, which is treated the same so the loop
  // cannot spin on it): a last line without a line feed still counts.
  queue_flush_partial(&pending);
  end_of_input = true;
  return false;
}

}  // namespace

bool input_ended() { return end_of_input; }

void wait_for_input(int timeout_ms) {
  bool line_waiting =
      std::memchr(pending.queue, COMMAND_SEPARATOR, static_cast<size_t>(pending.queue_length)) != nullptr;
  if (end_of_input || line_waiting || queue_room(&pending) == 0) {
    sleep_ms(timeout_ms);
    return;
  }
  // Fresh input ends the wait early (the sleep is alertable): an idle
  // engine answers a command at once instead of on its next round.
  stdin_wait(timeout_ms);
}

void execute_command(char* command) {
  if (settings.protocol == 2 || std::strcmp(command, "uci") == 0) {
    uci_command(command);
  } else {
    console_command(command);
  }
}

void poll_input() {
  fill_queue(0);
  char command[COMMAND_MAX + 1];
  if (take_command(&pending, command)) execute_command(command);
}

bool input_exhausted() { return end_of_input && !command_waiting(); }

int feed_input(const char* bytes, int count) {
  end_of_input = true;
  int room = queue_room(&pending);
  int taken = count < room ? count : room;
  queue_bytes(&pending, bytes, taken);
  if (taken == count) queue_flush_partial(&pending);
  return taken;
}

bool command_waiting() {
  return std::memchr(pending.queue, COMMAND_SEPARATOR, static_cast<size_t>(pending.queue_length)) != nullptr;
}

int read_input_line(char* out) {
  for (;;) {
    if (take_command(&pending, out)) return 1;
    if (!fill_queue(100)) return take_command(&pending, out);
  }
}
