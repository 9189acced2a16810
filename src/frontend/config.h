#pragma once
// The configuration file "tarn.rc": search and evaluation parameters,
// piece-square tables, tablebase path and book settings.
#include <cstdio>

struct ParamBlock;

constexpr const char* CONFIG_FILE_NAME = "tarn.rc";
constexpr int CONFIG_LINE_MAX = 254;  // a longer line continues as a new one

// Reads the file into `block` and into the global settings it names.
// Returns 1 when it was read and all twelve piece-square tables are
// complete (then the built-in tables are no longer used), 0 when the file
// cannot be opened (nothing changes, nothing is printed) or a table is
// incomplete ("file tarn.rc contains invalid PST").
int read_config(const char* path, ParamBlock& block);

// Reads the eight rows (rank 8 first) that follow a piece-square key into
// the table of that piece type (1..6) and phase (0 opening, 1 ending).
void read_pst_rows(FILE* file, ParamBlock& block, int type, int phase);
