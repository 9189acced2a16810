// First version, until the benchmark exists: it prints nothing and ends.
#include "frontend/batch_modes.h"

void run_benchmark(int) {}
