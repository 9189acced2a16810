#include "frontend/engine_state.h"

EngineSettings settings;
SearchControl control;
