#pragma once
// Reading the operations of one EPD record. The analysis and the tuner look
// for their operations by substring rather than by a full EPD grammar, so
// hand-edited files and files written by the PGN scanner read the same way.
#include <cstdint>

constexpr int EPD_LINE_MAX = 254;       // longer records are cut to this length
constexpr double EPD_NO_RESULT = -1.0;  // the record has no game result

// True when a line (without its line feed) is a record at all: it must not
// start with a space, "#" or ";" and must hold at least 10 characters.
bool epd_line_usable(const char* line);

// Copies the first word after "bm" (up to a space or ";") into out, which has
// room for out_size bytes; an empty word when there is no "bm".
void epd_bm_word(const char* line, char* out, int out_size);

// The " ce " value clamped to -950..950, or 0 when the record has none.
int epd_centipawns(const char* line);

// The game result as 1.0, 0.5 or 0.0 from "c9 ", or from the text after the
// side-to-move field when there is no "c9 "; EPD_NO_RESULT when neither says.
double epd_result(const char* line);

// Chooses every 16th usable record for a quiet (tuning) run. The counter is
// 32 bits wide on purpose: the tuner passes phases with the top bit set.
struct PhaseSelector {
  uint32_t counter;
};
PhaseSelector phase_selector(uint32_t phase);
// Counts one usable record; true when it is to be analysed.
bool phase_take(PhaseSelector& selector);

// Win expectation of a centipawn score, the scale the error figure uses.
double score_probability(int score);

// Adds a record's contribution to the error figure. Returns false (and adds
// nothing) when the record is not fit for it: no result, a score or ce outside
// +-700, a search score that differs from the static evaluation, or a ce that
// disagrees with the result by more than one half.
bool epd_record_error(int score, int root_eval, int ce, double result, bool flip_result,
                      double* error);

// When set, the error figure reads every result from the other side's view.
extern bool tune_result_flip;
