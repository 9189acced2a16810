// "tarn.rc": the reader, then everything built from the parameters it set
// (evaluation and reduction tables), the evaluation breakdown and short
// searches of a few positions under those parameters.
#include "board/fen.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "frontend/config.h"
#include "frontend/search_session.h"
#include "fuzz/fuzz_support.h"
#include "search/game_position.h"
#include "search/search.h"

namespace {

// Opening, middle game with both kings under attack, and a pawn ending.
const char* const positions[] = {
    START_FEN,
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1QBPPP/R3K2R w KQ -",
    "8/5k2/3p4/1p1Pp1p1/1P2P1P1/5K2/8/8 w - -",
};

}  // namespace

TARN_FUZZ_TARGET(config) {
  fuzz_write_file("fuzz.rc", data, size);
  read_config("fuzz.rc", params);
  init_eval_tables();
  build_search_tables();
  for (const char* fen : positions) {
    set_game_position(fen);
    show_eval(game_thread(), quiescence_score(game_thread()));
    fuzz_search(2);
  }
  return 0;
}
