#pragma once
// The two global records every subsystem reads: the engine's settings and the
// control/result block of the current search. Fields are added by the parts of
// the engine that own them; keep them plain data.
#include <cstdint>

struct EngineSettings {
  uint8_t log_enabled;  // copy output lines to tarn.log
  double noise;         // seconds before progress lines are printed
};

struct SearchControl {
  volatile uint8_t stop;  // 0 running; non-zero asks every search thread to stop
};

extern EngineSettings settings;
extern SearchControl control;
