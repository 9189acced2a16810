#include "core/output.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "core/engine_state.h"

FILE* log_file = nullptr;

namespace {
std::mutex line_lock;
}

void print_line(const char* text) {
  std::lock_guard<std::mutex> guard(line_lock);
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  if (settings.log_enabled && log_file) {
    std::fputs(text, log_file);
    std::fputc('\n', log_file);
    std::fflush(log_file);
  }
}

void print_linef(const char* format, ...) {
  char buffer[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  print_line(buffer);
}

void print_stdout(const char* text) {
  std::lock_guard<std::mutex> guard(line_lock);
  std::fputs(text, stdout);
  std::fflush(stdout);
}

void print_stdoutf(const char* format, ...) {
  char buffer[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  print_stdout(buffer);
}

void print_log_only(const char* text) {
  std::lock_guard<std::mutex> guard(line_lock);
  if (!settings.log_enabled || !log_file) return;
  std::fputs(text, log_file);
  std::fputc('\n', log_file);
  std::fflush(log_file);
}

namespace {

std::mutex trace_lock;
FILE* trace_file = nullptr;
int traced_ply = 0;
int traced_depth = -1;

// The move in the notation of the current protocol. Written here rather
// than borrowed from the board code, which is built on top of this file.
void trace_text(unsigned short move, char* out) {
  if (move == 0) {
    std::strcpy(out, "null");
    return;
  }
  int from = (move >> 8) & 63, to = move & 63;
  char suffix = (move & 0x0040) ? 'q' : (move & 0x0080) ? 'n' : (move & 0x4000) ? 'b' : (move & 0x8000) ? 'r' : 0;
  int n = std::sprintf(out, "%c%c%c%c", 'a' + (from & 7), '1' + (from >> 3), 'a' + (to & 7), '1' + (to >> 3));
  if (!suffix) return;
  if (settings.protocol == 2)
    std::sprintf(out + n, "%c", suffix);
  else
    std::sprintf(out + n, "=%c", suffix - 'a' + 'A');
}

}  // namespace

void trace_move(int ply, int iteration, int depth, unsigned short move) {
  std::lock_guard<std::mutex> guard(trace_lock);
  if (!trace_file) {
    trace_file = std::fopen("trace.txt", "w");
    if (!trace_file) std::exit(0);
  }
  if (ply > settings.trace_depth || ply < 0 || ply >= MAX_PLY) return;
  if (iteration > traced_depth) std::fprintf(trace_file, "\n\nSEARCH DEPTH= %d\n", iteration);
  char text[16];
  trace_text(move, text);
  if (ply <= traced_ply) {
    std::fputc('\n', trace_file);
    for (int i = 1; i < ply; i++) std::fputs("         ", trace_file);
  }
  std::fprintf(trace_file, "(%2d)%s ", depth, text);
  traced_ply = ply;
  traced_depth = iteration;
}
