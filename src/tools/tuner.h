#pragma once
// Tuning of evaluation parameters: a smoothed finite-difference descent on
// the error of the EPD analysis over a file of labelled positions
// (settings.epd_file), 100 passes, logged to "tune.log".
#include <cstdio>

constexpr const char* TUNE_LOG_NAME = "tune.log";

// The tuning log while it is open (the console's tuning writes to it too).
extern FILE* tune_log;

// The names the tuner works on: piece values, bishop pair and mobility.
constexpr int TUNED_PARAM_COUNT = 18;
extern const char* const tuned_param_names[TUNED_PARAM_COUNT];

// The batch-mode entry: quiet output threshold, registry, the selection and
// a fresh "tune.log". False when the log cannot be created (the caller then
// shuts down without tuning).
bool begin_tuning();

// The error the tuner minimises: the quiet EPD analysis of one sixteenth of
// the records, chosen by r.
double tuning_error(unsigned r);

// Runs the passes (ended early by a quit request), closes the log and
// rebuilds the evaluation tables from the final values. Does nothing
// without an open log. The error measure can be replaced (for tests).
void tune_parameters(int passes, double (*error)(unsigned r) = tuning_error);
