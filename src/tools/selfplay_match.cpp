#include "tools/selfplay_match.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "book/book_choice.h"
#include "core/engine_state.h"
#include "core/output.h"
#include "eval/params.h"
#include "search/game_position.h"
#include "search/reductions.h"
#include "search/search_threads.h"
#include "search/time_control.h"
#include "search/trans_table.h"
#include "tools/match_record.h"
#include "tools/tool_search.h"

namespace {

constexpr int BOOK_PLIES = 12;
constexpr int ADJUDICATION = 1100;

struct Match {
  ParamBlock test;       // current parameters overridden by the variant file
  ParamBlock reference;  // current parameters
  MatchScore score;
  MatchGame game;
  FILE* out;
};

// A variant file usually names a few keys only; piece-square values it
// leaves out are the reference's, not the reader's "not given" marks.
void fill_unset_pst(ParamBlock& test, const ParamBlock& reference) {
  for (int type = 1; type <= 6; type++) {
    for (int square = 0; square < 64; square++) {
      if (test.pst[type][square].op == PST_UNSET) test.pst[type][square].op = reference.pst[type][square].op;
      if (test.pst[type][square].en == PST_UNSET) test.pst[type][square].en = reference.pst[type][square].en;
    }
  }
}

bool read_variant(Match& m, ParamFileReader read_file) {
  m.reference = params;
  m.test = params;
  FILE* probe = std::fopen(MATCH_VARIANT_FILE, "r");
  if (!probe) return false;
  std::fclose(probe);
  read_file(MATCH_VARIANT_FILE, m.test);
  fill_unset_pst(m.test, m.reference);
  return true;
}

void set_match_conditions() {
  control.level_moves = 1;
  control.level_time = 1.0;
  control.clock[0] = control.clock[1] = 1.0;
  control.book_variety = 75;
  settings.noise = 10000.0;
  control.node_limit = static_cast<int64_t>(std::rand() % 11 + 95) * 750;
}

// Loads the mover's parameters and prepares its search.
void prepare_move(const Match& m, int test_colour) {
  params = game_board()->side == test_colour ? m.test : m.reference;
  init_eval_tables();
  build_reduction_tables();
  tool_prepare_search();
}

void record_move(MatchGame& game, Move move, int score, int depth) {
  if (game.plies >= MATCH_MAX_PLIES || !move) return;
  MatchMove& entry = game.moves[game.plies++];
  move_text_plain(move & 0x3F3F, entry.text);  // origin and destination only
  entry.score = static_cast<int16_t>(score);
  entry.depth = static_cast<int16_t>(depth);
}

enum MoveOutcome { GAME_GOES_ON, GAME_OVER, MATCH_QUIT };

// One half-move: a book move, a draw claim, or a search with adjudication.
// Sets *result (0 white won, 1 black won, 2 draw) when the game ends.
MoveOutcome play_one_move(Match& m, int test_colour, int* result) {
  prepare_move(m, test_colour);
  Board* board = game_board();
  int side = board->side;
  if (game_thread()->history_count < BOOK_PLIES) {
    book_choose(board, false);
    if (best_move()) {
      record_move(m.game, best_move(), 0, 0);
      return play_game_move(best_move()) ? GAME_GOES_ON : (*result = 2, GAME_OVER);
    }
  }
  if (is_draw(board, true, 3)) {
    *result = 2;
    return GAME_OVER;
  }
  tool_search_on_workers(false);
  if (settings.quit) return MATCH_QUIT;
  sum_statistics();
  int s = control.best_score;
  Move move = best_move();
  MoveOutcome outcome = GAME_GOES_ON;
  if (s < -ADJUDICATION) {
    *result = side ^ 1;
    outcome = GAME_OVER;
  } else if (s > ADJUDICATION) {
    *result = side;
    outcome = GAME_OVER;
  } else if (board->fifty >= 100 || !move) {
    *result = 2;
    outcome = GAME_OVER;
  }
  record_move(m.game, move, s, control.completed_depth);
  if (outcome == GAME_GOES_ON && !play_game_move(move)) {
    *result = 2;  // no room left in the game history: call it a draw
    outcome = GAME_OVER;
  }
  return outcome;
}

// Plays one game; false when the match is to end without recording it.
bool play_game(Match& m) {
  set_game_position(START_FEN);
  int test_colour = std::rand() & 1;
  if (control.max_depth >= 10 && control.node_limit > 100000 && control.level_time > 0.1) {
    tt_clear();
  } else {
    control.hash_mode = 0;
  }
  m.game.plies = 0;
  int result = 2;
  for (;;) {
    MoveOutcome outcome = play_one_move(m, test_colour, &result);
    if (outcome == MATCH_QUIT) return false;
    if (outcome == GAME_OVER) break;
  }
  match_count_result(m.score, result, test_colour);
  char line[128];
  match_score_line(m.score, line, sizeof line);
  print_line(line);
  write_match_game(m.out, m.score.games, test_colour, result, m.game);
  return true;
}

}  // namespace

void selfplay_match(ParamFileReader read_variant_file) {
  auto match = std::make_unique<Match>();
  Match& m = *match;
  if (!read_variant(m, read_variant_file)) {
    print_linef("Can't open file %s", MATCH_VARIANT_FILE);
    return;
  }
  m.out = std::fopen(settings.match_file, "w");
  if (!m.out) {
    print_linef("can't open %s", settings.match_file);
    return;
  }
  set_match_conditions();
  print_line("Starting match...");
  m.score = MatchScore{1, 0, 0, 0};
  while (m.score.games <= MATCH_GAMES && !settings.quit) {
    if (!play_game(m)) break;
    m.score.games++;
  }
  std::fclose(m.out);
}
