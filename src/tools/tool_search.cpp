#include "tools/tool_search.h"

#include "core/engine_state.h"
#include "platform/clock.h"
#include "search/root.h"
#include "search/search_threads.h"
#include "search/time_control.h"

InputHooks tool_input = {nullptr, nullptr};

void tool_prepare_search() {
  start_search_clock();
  control.start_request = 1;
  prepare_search();
  control.start_request = 0;
}

// The tools report their searches themselves; the main loop must not find a
// search of theirs still marked as running and report it again.
void tool_search_here() {
  think(1);
  control.state = 0;
}

// A batch run often has no operator at all (standard input at its end from
// the start, as under a script). For the tools the end of input is therefore
// not a request to quit: the quit that the reader raises when it first sees
// the end is taken back, and the input is not read any more. Commands that
// arrived before the end, "quit" among them, still act.
void tool_poll_input() {
  if (!tool_input.poll || tool_input.ended()) return;
  uint8_t quit = settings.quit;
  uint8_t stop = control.stop;
  tool_input.poll();
  if (tool_input.ended() && settings.quit && !quit) {
    settings.quit = quit;
    control.stop = stop;
  }
}

void tool_search_on_workers(bool sleep_after_depth_one) {
  wake_threads();
  while (busy_threads() != 0) {
    check_time();
    tool_poll_input();
    bool deep_enough = !sleep_after_depth_one || control.main_depth > 1;
    if (control.stop == 0 && deep_enough) sleep_ms(1);
  }
  check_time();  // refreshes elapsed for the report
  control.state = 0;
}
