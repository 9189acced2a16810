// Placeholder until the probing code lands: no table is ever registered, so
// every probe reports no information and the engine searches normally.
#include "tablebases/tbprobe.h"

#include "frontend/engine_state.h"

uint32_t egtb_max_pieces = 0;

void egtb_setup(const char*) {}

uint32_t egtb_search_wdl(const Board*, int) { return EGTB_NONE; }

uint32_t egtb_probe_root(const Board*, uint32_t*, uint32_t*, uint16_t*) { return EGTB_NONE; }

void egtb_probe_search_root(const Board*, int) {
  control.tb_root_result = -1;
  control.tb_root_move = 0;
}
