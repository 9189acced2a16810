#include "tools/tuner.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>

#include "core/engine_state.h"
#include "core/output.h"
#include "eval/params.h"
#include "tools/epd_analysis.h"
#include "tools/tool_search.h"
#include "tools/tuner_step.h"

FILE* tune_log = nullptr;

const char* const tuned_param_names[TUNED_PARAM_COUNT] = {
    "knight_value_op",    "knight_value_en",    "bishop_value_op",    "bishop_value_en",
    "rook_value_op",      "rook_value_en",      "queen_value_op",     "queen_value_en",
    "bishop_pair_op",     "bishop_pair_en",     "knight_mobility_op", "knight_mobility_en",
    "bishop_mobility_op", "bishop_mobility_en", "rook_mobility_op",   "rook_mobility_en",
    "queen_mobility_op",  "queen_mobility_en",
};

namespace {

double (*measure)(unsigned r) = tuning_error;

// A line to the operator and the same text to the tuning log.
void tune_report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void tune_report(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  print_line(text);
  std::fprintf(tune_log, "%s\n", text);
}

void select_tuned_params() {
  register_params();
  for (const char* name : tuned_param_names) select_param(name);
}

// Depth 0 scores each record by the static evaluation alone: cheap, and with
// no search the score is the root evaluation itself, so the quiet-position
// rule passes every record.
void set_measurement_limits() {
  control.max_depth = 0;
  control.level_moves = 1;
  control.level_time = 1000.0;
  control.node_limit = 0;
  settings.noise = 9999.0;
}

void set_rounded_values() {
  for (int i = 0; i < param_count; i++) {
    ParamEntry& e = param_registry[i];
    if (!e.selected) continue;
    *e.value = static_cast<int16_t>(std::round(e.estimate));
    tune_report("** %s = %d", e.name, *e.value);
  }
}

void probe_entry(ParamEntry& e, unsigned r, bool first_pass) {
  int value = *e.value;
  ProbeWidth width = probe_width(e.estimate);
  int p1 = value - width.step, p2 = value + width.step;
  *e.value = static_cast<int16_t>(p1);
  double err1 = measure(r);
  *e.value = static_cast<int16_t>(p2);
  double err2 = measure(r);
  *e.value = static_cast<int16_t>(value);
  TuneMove move = tune_move(e.estimate, p1, p2, err1, err2, e.accumulator, first_pass);
  e.accumulator = move.gradient;
  e.estimate += move.step;
  print_linef("p1=%4d, p2=%4d, g=%10.2e, dp=%6.1f, x=%6.1f, p= %6.1f", p1, p2, move.gradient,
              move.wanted, move.step, e.estimate);
}

void tuning_pass(int pass) {
  tune_report("pass= %d, k0= %0.3e", pass, TUNE_GAIN);
  set_rounded_values();
  unsigned r = static_cast<unsigned>(std::rand());
  double err = measure(r);
  print_line("");
  print_linef("err= %0.5f", err);
  print_line("");
  std::fprintf(tune_log, "\nerr= %0.5f\n\n", err);
  std::fflush(tune_log);
  for (int i = 0; i < param_count && !settings.quit; i++) {
    // Depth-0 measurements search no nodes, so the analysis itself never
    // looks at the input; a typed "quit" is picked up here.
    tool_poll_input();
    if (param_registry[i].selected && !settings.quit) probe_entry(param_registry[i], r, pass == 0);
  }
  print_line("");
}

}  // namespace

double tuning_error(unsigned r) { return analyze_epd(r | 0x80000000u); }

bool begin_tuning() {
  settings.noise = 1000.0;
  select_tuned_params();
  if (!tune_log) tune_log = std::fopen(TUNE_LOG_NAME, "w");
  return tune_log != nullptr;
}

void tune_parameters(int passes, double (*error)(unsigned r)) {
  measure = error;
  select_tuned_params();
  if (!tune_log) tune_log = std::fopen(TUNE_LOG_NAME, "w");
  if (!tune_log) return;
  set_measurement_limits();
  for (int pass = 0; pass < passes && !settings.quit; pass++) tuning_pass(pass);
  std::fclose(tune_log);
  tune_log = nullptr;
  init_eval_tables();
}
