// The console's single-parameter tuning: "tune <name>" brackets the best
// value of one registered parameter against the records of "tune.epd" and
// reports it, leaving the parameter as it was.
#include <cstring>

#include "core/engine_state.h"
#include "core/output.h"
#include "eval/params.h"
#include "frontend/console_commands.h"
#include "tools/epd_analysis.h"
#include "tools/param_bracket.h"
#include "tools/tuner.h"

namespace {

void tune_parameter(const char* name) {
  std::strcpy(settings.epd_file, "tune.epd");
  control.max_depth = 0;
  settings.noise = 9999.0;
  register_params();
  ParamEntry* entry = find_param(name);
  if (!entry || !entry->value) {
    print_line("done!");
    return;
  }
  int16_t* value = entry->value;
  int16_t start = *value;
  BracketResult result = bracket_parameter(
      name, start,
      [value](int candidate) {
        // A long walk can leave the 16-bit range; the parameter stops at its edge.
        if (candidate > 32767) candidate = 32767;
        if (candidate < -32767) candidate = -32767;
        *value = static_cast<int16_t>(candidate);
        return epd_error_all_records();
      },
      [](const char* text) { print_stdoutf("%s\n", text); });
  *value = start;
  if (tune_log) {
    std::fprintf(tune_log, "%-24s  %4d  %0.5f\n", name, result.best, result.best_err);
    std::fflush(tune_log);
  }
  init_eval_tables();
  // The line routine adds its own line feed, so an empty line closes the reply.
  print_line("done!\n");
}

}  // namespace

void console_tune(const ConsoleCommand& command) {
  if (command.word[1][0]) tune_parameter(command.word[1]);
}
