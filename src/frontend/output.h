#pragma once
// The one output channel: a line to standard output, flushed at once so an
// interface reading the pipe sees it, and the same line to the log.
#include <cstdio>

// Writes the text and a line feed to standard output and, when logging is on,
// to the log. Safe to call from any thread: one call is one whole line.
void print_line(const char* text);

// printf-style convenience on top of print_line.
void print_linef(const char* format, ...) __attribute__((format(printf, 1, 2)));

struct SearchThread;

// Writes a move the search makes (0 = null move) to the trace file while the
// trace depth is non-zero; called by make_move and make_null.
void trace_move(SearchThread* thread, unsigned short move);

// The open log file, or null when the engine runs without one.
extern FILE* log_file;
