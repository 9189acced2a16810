#include "frontend/main_loop.h"

#include "board/fen.h"
#include "core/engine_state.h"
#include "eval/params.h"
#include "frontend/input.h"
#include "frontend/search_session.h"
#include "platform/clock.h"
#include "search/game_position.h"
#include "search/time_control.h"

namespace {

// The input has ended and every command it brought has run (a script piped
// into the engine). A search with a limit runs to its end and is reported;
// one that only "stop" would end is stopped now and reported; then the
// engine leaves.
void answer_end_of_input() {
  if (control.state == 0 && control.start_request == 0) {
    settings.quit = 1;
  } else if (search_open_ended()) {
    end_search_now();
  }
}

// One round of the loop.
void run_round() {
  if (control.start_request == 0) {
    // Idle, fresh input ends the wait at once; while a search runs the
    // round keeps its plain 5 ms sleep, so the clock check's rhythm (and
    // the load the loop puts beside the search) stay as they were.
    if (control.state == 0)
      wait_for_input(5);
    else
      sleep_ms(5);
    check_time();
    poll_input();
    if (input_exhausted()) answer_end_of_input();
    if (settings.quit) return;
  } else if (control.state != 0 && any_search_busy()) {
    // A new search waits for the aborted one; no need to spin meanwhile.
    sleep_ms(1);
  }
  if (control.start_request != 0 && control.state == 0) begin_search();
  if (control.state == 0 || any_search_busy()) return;
  // A finished ponder search is held for "ponderhit" or "stop", unless a
  // new search is waiting: then it is reported now so the new one can start.
  if ((control.state == 2 || search_held()) && control.start_request == 0) return;
  finish_search();
  control.state = 0;
}

}  // namespace

void interactive_loop() {
  reload_tablebases();
  init_eval_tables();
  set_game_position(START_FEN);
  if (settings.protocol == 0) print_board(game_board());
  control.start_request = 0;
  settings.quit = 0;
  while (!settings.quit) run_round();
}
