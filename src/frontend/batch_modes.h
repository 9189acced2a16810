#pragma once
// The batch modes selected on the command line. Each runs to its end and
// returns; the process then shuts down.

void run_benchmark(int kind);                // BenchKind of command_line.h
void run_epd_analysis();                     // settings.epd_file
void run_pgn_scan(int mode, const char* file);
void run_match();                            // settings.match_file
void run_tuning();                           // settings.epd_file
