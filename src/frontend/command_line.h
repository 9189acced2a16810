#pragma once
// The switches of the command line. Most of them set fields of the two
// global records directly; the choice of batch mode is returned.

enum RunMode { RUN_INTERACTIVE, RUN_ANALYSE_EPD, RUN_SCAN_PGN, RUN_MATCH, RUN_BENCH, RUN_TUNE };

// Benchmark kinds.
enum BenchKind { BENCH_NONE = 0, BENCH_10 = 1, BENCH_20 = 2, BENCH_MAIN_THREAD = 3 };

struct CommandLine {
  bool analyse_epd;     // "-anepd": the file is settings.epd_file
  int scan_mode;        // "-scan_pgn1".."-scan_pgn4": 1..4, else 0
  char scan_file[140];
  bool match;           // "-match": the file is settings.match_file
  int bench;            // BenchKind of the last benchmark switch
  bool tune;            // "-tune": the file is settings.epd_file
};

// Examines the arguments from first to last (argv[0] is the program).
void parse_command_line(int argc, const char* const* argv, CommandLine* out);

// The mode that runs when several are selected: EPD analysis, PGN scanning,
// match, benchmark, tuning; the interactive loop when none is.
RunMode selected_mode(const CommandLine& line);
