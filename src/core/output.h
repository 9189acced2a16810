#pragma once
// The one output channel: a line to standard output, flushed at once so an
// interface reading the pipe sees it, and the same line to the log.
#include <cstdio>

// Writes the text and a line feed to standard output and, when logging is on,
// to the log. Safe to call from any thread: one call is one whole line.
void print_line(const char* text);

// printf-style convenience on top of print_line.
void print_linef(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Text for the operator's eyes only (console displays, the "log file in
// use" notice): written to standard output as it is, with no line feed
// added, and never copied to the log.
void print_stdout(const char* text);
void print_stdoutf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A line for the log alone (when logging is on), e.g. the time-control trace
// that an interface must not see.
void print_log_only(const char* text);

// Writes a move the search makes (0 = null move) to the trace file, with the
// iteration it belongs to and the depth left at its ply; plies beyond the
// trace depth are left out. Reached from make_move and make_null while the
// trace depth is non-zero.
void trace_move(int ply, int iteration, int depth, unsigned short move);

// The open log file, or null when the engine runs without one.
extern FILE* log_file;
