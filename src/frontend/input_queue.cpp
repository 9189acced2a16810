#include "frontend/input_queue.h"

#include <cstring>

namespace {

void append_to_queue(InputQueue* input, const char* text, int length) {
  // queue_room() keeps the reader from taking more than fits, so this only
  // guards against a caller that ignores it: the command is then dropped.
  if (input->queue_length + length > QUEUE_CAPACITY) return;
  std::memcpy(input->queue + input->queue_length, text, static_cast<size_t>(length));
  input->queue_length += length;
}

void end_partial_line(InputQueue* input) {
  if (input->partial_length > 0) {
    input->partial[input->partial_length++] = COMMAND_SEPARATOR;
    append_to_queue(input, input->partial, input->partial_length);
  }
  input->partial_length = 0;
  input->partial_overflow = false;
}

}  // namespace

int queue_room(const InputQueue* input) {
  // The partial line moves into the queue with one separator when it ends.
  int room = QUEUE_CAPACITY - input->queue_length - input->partial_length - 1;
  return room > 0 ? room : 0;
}

void queue_bytes(InputQueue* input, const char* bytes, int count) {
  for (int i = 0; i < count; i++) {
    char c = bytes[i];
    if (c == '\n' || c == '\0') {
      end_partial_line(input);
    } else if (input->partial_length < COMMAND_MAX) {
      input->partial[input->partial_length++] = c;
    } else {
      input->partial_overflow = true;
    }
  }
}

void queue_flush_partial(InputQueue* input) { end_partial_line(input); }

int take_command(InputQueue* input, char* out) {
  const char* end = static_cast<const char*>(
      std::memchr(input->queue, COMMAND_SEPARATOR, static_cast<size_t>(input->queue_length)));
  if (!end) return 0;
  int length = static_cast<int>(end - input->queue);
  int kept = length < COMMAND_MAX ? length : COMMAND_MAX;
  std::memcpy(out, input->queue, static_cast<size_t>(kept));
  out[kept] = '\0';
  out[std::strcspn(out, "\r\n")] = '\0';
  int consumed = length + 1;
  std::memmove(input->queue, input->queue + consumed,
               static_cast<size_t>(input->queue_length - consumed));
  input->queue_length -= consumed;
  return 1;
}
