#include "frontend/command_line.h"

#include <cstring>

#include "core/engine_state.h"
#include "frontend/text.h"

namespace {

bool is(const char* arg, const char* name) { return std::strcmp(arg, name) == 0; }

// A switch with a value consumes the next argument; at the end of the line
// there is none and the switch is ignored.
const char* take_value(int argc, const char* const* argv, int* i) {
  if (*i + 1 >= argc) return nullptr;
  return argv[++*i];
}

void set_depth_limit(const char* value) {
  // Depth 0 searches nothing: the EPD analysis then scores each record by
  // its static evaluation. A negative depth means the same.
  control.max_depth = static_cast<int8_t>(read_int_clamped(value, 0, MAX_PV));
  control.level_moves = 1;
  control.level_time = 10000.0;
}

void set_node_limit(const char* value) {
  // The workers compare their count with the limit as an unsigned number,
  // so a negative one never stops a search: it is no limit, the same as 0.
  long long nodes = read_int64(value);
  control.node_limit = nodes > 0 ? nodes : 0;
  control.level_moves = 1;
  control.level_time = 1000.0;
}

// Handles the switches that take a value; returns false for any other.
bool value_switch(const char* arg, const char* value, CommandLine* out) {
  if (is(arg, "-noise")) {
    settings.noise = read_double(value);
  } else if (is(arg, "-d")) {
    set_depth_limit(value);
  } else if (is(arg, "-t")) {
    control.level_time = read_double(value);
    control.level_moves = 1;
  } else if (is(arg, "-n")) {
    set_node_limit(value);
  } else if (is(arg, "-hash")) {
    control.hash_mb = static_cast<int16_t>(read_int_clamped(value, 0, 8192));
  } else if (is(arg, "-threads")) {
    control.threads = static_cast<uint8_t>(read_int_clamped(value, 1, MAX_THREADS));
  } else if (is(arg, "-anepd")) {
    copy_text(settings.epd_file, sizeof settings.epd_file, value);
    out->analyse_epd = true;
  } else if (is(arg, "-match")) {
    copy_text(settings.match_file, sizeof settings.match_file, value);
    out->match = true;
  } else if (is(arg, "-tune")) {
    copy_text(settings.epd_file, sizeof settings.epd_file, value);
    out->tune = true;
  } else if (const char* scan = std::strstr(arg, "-scan_pgn")) {
    // Any argument holding "-scan_pgn" takes a file; only a digit 1..4
    // right after it selects a scan.
    char digit = scan[9];
    if (digit >= '1' && digit <= '4') {
      out->scan_mode = digit - '0';
      copy_text(out->scan_file, sizeof out->scan_file, value);
    }
  } else {
    return false;
  }
  return true;
}

bool takes_value(const char* arg) {
  static const char* const names[] = {"-noise", "-d", "-t", "-n", "-hash", "-threads",
                                      "-anepd", "-match", "-tune"};
  for (const char* name : names)
    if (is(arg, name)) return true;
  return std::strstr(arg, "-scan_pgn") != nullptr;
}

}  // namespace

void parse_command_line(int argc, const char* const* argv, CommandLine* out) {
  *out = CommandLine{};
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    if (is(arg, "-uci")) {
      settings.protocol = 2;
    } else if (is(arg, "-c")) {
      settings.protocol = 0;
    } else if (is(arg, "-nolog")) {
      settings.log_enabled = 0;
    } else if (is(arg, "-quiet")) {
      settings.noise = 9999.0;
      settings.log_enabled = 0;
    } else if (is(arg, "-uci_extra")) {
      uci_extra = 1;
    } else if (is(arg, "-bench")) {
      out->bench = BENCH_10;
    } else if (is(arg, "-bench2")) {
      out->bench = BENCH_20;
    } else if (is(arg, "-pbench")) {
      out->bench = BENCH_MAIN_THREAD;
    } else if (takes_value(arg)) {
      const char* value = take_value(argc, argv, &i);
      if (value) value_switch(arg, value, out);
    }
  }
}

RunMode selected_mode(const CommandLine& line) {
  if (line.analyse_epd) return RUN_ANALYSE_EPD;
  if (line.scan_mode) return RUN_SCAN_PGN;
  if (line.match) return RUN_MATCH;
  if (line.bench) return RUN_BENCH;
  if (line.tune) return RUN_TUNE;
  return RUN_INTERACTIVE;
}
