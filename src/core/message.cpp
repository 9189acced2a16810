#include "core/message.h"

#include <cstdarg>
#include <cstdio>

#include "core/engine_state.h"
#include "core/output.h"

namespace {

constexpr int HELD_MAX = 8;
constexpr int MESSAGE_MAX = 320;

bool holding = false;
bool interactive_run = false;
char held[HELD_MAX][MESSAGE_MAX];
int held_count = 0;

void write_message(const char* text) {
  if (!(interactive_run && settings.protocol == 2)) {
    print_line(text);
  } else if (text[0] != '\0') {
    print_linef("info string %s", text);
  }
}

}  // namespace

void print_message(const char* text) {
  if (holding && held_count < HELD_MAX) {
    std::snprintf(held[held_count++], MESSAGE_MAX, "%s", text);
    return;
  }
  write_message(text);
}

void print_messagef(const char* format, ...) {
  char buffer[MESSAGE_MAX];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  print_message(buffer);
}

void hold_messages() { holding = true; }

void release_messages(bool interactive) {
  holding = false;
  interactive_run = interactive;
  for (int i = 0; i < held_count; ++i) write_message(held[i]);
  held_count = 0;
}
