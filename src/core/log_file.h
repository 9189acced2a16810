#pragma once
// The life cycle of "tarn.log": replaced at start-up, closed at shutdown.

constexpr const char* LOG_FILE_NAME = "tarn.log";

// Starts a fresh, empty log owned by this process. When another engine in
// the same directory owns the log (or it cannot be written) prints "log file
// in use" and an empty line on standard output and goes on without a log.
void open_log();

void close_log();
