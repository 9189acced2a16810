#include "frontend/output.h"

#include <cstdarg>
#include <mutex>

#include "frontend/engine_state.h"

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

// replaced by the trace file writer
void trace_move(SearchThread*, unsigned short) {}
