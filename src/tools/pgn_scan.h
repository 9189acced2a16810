#pragma once
// The PGN scanner batch mode: reads a file of games with engine scores in
// their comments and writes "tmp.pgn" (mode 1, an annotated listing) or
// "tmp.epd" (modes 2 to 4, selected positions as EPD records).

// Returns the number of positions written, or -1 when a file cannot be
// opened (nothing is printed then).
int scan_pgn(const char* path, int mode);
