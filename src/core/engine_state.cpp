#include "core/engine_state.h"

EngineSettings settings;
SearchControl control;
int32_t uci_extra = 0;
