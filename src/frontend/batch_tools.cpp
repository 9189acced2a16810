// The batch modes of the tools subsystem.
#include "frontend/batch_modes.h"

#include "frontend/config.h"
#include "tools/epd_analysis.h"
#include "tools/pgn_scan.h"
#include "tools/selfplay_match.h"
#include "tools/tuner.h"
#include "tools/tuner_step.h"

void run_epd_analysis() { analyze_epd(0); }

void run_pgn_scan(int mode, const char* file) { scan_pgn(file, mode); }

void run_match() { selfplay_match(read_config); }

void run_tuning() {
  if (begin_tuning()) tune_parameters(TUNE_PASSES);
}
