#pragma once
// Turning the byte stream of standard input into commands. Bytes arrive in
// arbitrary pieces; a line feed or NUL ends a line, and the separator '@'
// splits a line into several commands, so a command never contains it.

constexpr char COMMAND_SEPARATOR = '@';
constexpr int COMMAND_MAX = 4095;      // longest command kept; the rest of the line is dropped
constexpr int QUEUE_CAPACITY = 8192;   // complete commands waiting, separators included

struct InputQueue {
  char partial[COMMAND_MAX + 1];  // the line being received
  int partial_length;
  bool partial_overflow;          // the current line was longer than COMMAND_MAX
  char queue[QUEUE_CAPACITY];     // complete commands, each ended by the separator
  int queue_length;
};

// Bytes the queue can accept now without dropping a complete line. The
// reader takes no more than this from the pipe; the rest waits there.
int queue_room(const InputQueue* input);

// Walks received bytes: a line feed or NUL completes the partial line (empty
// lines are dropped); any other byte, carriage return included, extends it.
void queue_bytes(InputQueue* input, const char* bytes, int count);

// Completes a last line that ended without a line feed (end of input).
void queue_flush_partial(InputQueue* input);

// Removes the first command from the queue into `out` (NUL-terminated, cut
// at the first carriage return or line feed). Returns 1 when a command was
// taken, 0 when no complete command is waiting. `out` holds COMMAND_MAX + 1.
int take_command(InputQueue* input, char* out);
