#pragma once
// Running the engine over a file of EPD records (settings.epd_file): solved
// best moves, node, time, depth and branching statistics, and the average
// error of the search score against the recorded results, which the tuners
// minimise.
#include <cstdint>

constexpr const char* UNSOLVED_FILE = "unsolved.epd";

// phase 0 analyses every record and prints the per-record lines and the
// summary; a non-zero phase runs quietly on every 16th usable record. Returns
// the average error, or 1.0 when a file cannot be opened.
double analyze_epd(uint32_t phase);

// The average error over every record, without the summary: what the
// console's single-parameter tuning measures.
double epd_error_all_records();
