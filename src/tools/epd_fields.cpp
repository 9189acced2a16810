#include "tools/epd_fields.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

bool tune_result_flip = false;

bool epd_line_usable(const char* line) {
  if (line[0] == ' ' || line[0] == '#' || line[0] == ';') return false;
  return std::strlen(line) >= 10;
}

void epd_bm_word(const char* line, char* out, int out_size) {
  out[0] = 0;
  const char* at = std::strstr(line, "bm");
  if (!at || out_size < 2) return;
  at += 2;
  while (*at == ' ') at++;
  int n = 0;
  while (at[n] && at[n] != ' ' && at[n] != ';' && n < out_size - 1) {
    out[n] = at[n];
    n++;
  }
  out[n] = 0;
}

int epd_centipawns(const char* line) {
  const char* at = std::strstr(line, " ce ");
  if (!at) return 0;
  // strtol stops at the ";" by itself; very long digit strings saturate and
  // are clamped like any other out-of-range value.
  long value = std::strtol(at + 4, nullptr, 10);
  if (value > 950) value = 950;
  if (value < -950) value = -950;
  return static_cast<int>(value);
}

namespace {

// The side-to-move field: the first " w " or " b " of the record.
const char* side_field(const char* line) {
  const char* white = std::strstr(line, " w ");
  const char* black = std::strstr(line, " b ");
  if (!white) return black;
  if (!black) return white;
  return white < black ? white : black;
}

}  // namespace

double epd_result(const char* line) {
  if (const char* c9 = std::strstr(line, "c9 ")) {
    if (std::strstr(c9, "1-0")) return 1.0;
    if (std::strstr(c9, "0-1")) return 0.0;
    if (std::strstr(c9, "1/2-1/2")) return 0.5;
    return EPD_NO_RESULT;
  }
  const char* side = side_field(line);
  if (!side) return EPD_NO_RESULT;
  side += 3;
  if (std::strstr(side, "1-0")) return 1.0;
  if (std::strstr(side, "0-1")) return 0.0;
  if (std::strstr(side, "1/2")) return 0.5;
  return EPD_NO_RESULT;
}

PhaseSelector phase_selector(uint32_t phase) { return PhaseSelector{phase}; }

bool phase_take(PhaseSelector& selector) {
  selector.counter++;
  return selector.counter % 16 == 0;
}

double score_probability(int score) {
  return 1.0 / (1.0 + std::pow(10.0, -1.25 * score / 400.0));
}

bool epd_record_error(int score, int root_eval, int ce, double result, bool flip_result,
                      double* error) {
  if (result < 0.0 || result > 1.0) return false;
  if (ce < -700 || ce > 700 || score < -700 || score > 700) return false;
  if (root_eval != score) return false;  // only quiet positions say something about the evaluation
  if (flip_result) result = 1.0 - result;
  double p_score = score_probability(score);
  double p_ce = score_probability(ce);
  if (std::fabs(p_ce - result) > 0.5) return false;
  *error = std::fabs(p_score - (0.1 * p_ce + 0.9 * result));
  return true;
}
