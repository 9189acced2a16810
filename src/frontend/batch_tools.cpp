// First versions, until the tools exist: each mode ends at once.
#include "frontend/batch_modes.h"

void run_epd_analysis() {}

void run_pgn_scan(int, const char*) {}

void run_match() {}

void run_tuning() {}
