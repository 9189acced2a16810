#include "eval_support.h"

#include <fstream>
#include <random>
#include <sstream>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/keys.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "support/shared_data.h"

namespace eval_test {

void reset_params() {
  settings.builtin_pst = 1;
  set_default_params(params);
  init_eval_tables();
}

EvalThread* thread() {
  static EvalThread block;  // zero-filled like every thread block
  static bool linked = [] {
    init_attack_tables();
    init_keys();
    reset_params();
    link_board_thread(&block);
    block.number = 1;
    return true;
  }();
  (void)linked;
  return &block;
}

int eval_fen(const std::string& fen) {
  EvalThread* t = thread();
  parse_fen(&t->board, fen.c_str());
  // As the search does before every evaluation.
  t->eval_ply[1].threat[0] = t->eval_ply[1].threat[1] = 0;
  t->eval_ply[1].dead_draw = 0;
  return evaluate(t, t->board.side, 1, 0);
}

std::string mirror_fen(const std::string& fen) {
  std::istringstream in(fen);
  std::string placement, side, castle, ep, out, rights;
  in >> placement >> side >> castle >> ep;
  std::stringstream ranks(placement);
  for (std::string rank; std::getline(ranks, rank, '/');) out = out.empty() ? rank : rank + "/" + out;
  for (char& ch : out)
    if (std::isalpha(static_cast<unsigned char>(ch))) ch ^= 32;
  for (char ch : std::string("KQkq"))
    if (castle.find(static_cast<char>(ch ^ 32)) != std::string::npos) rights += ch;
  ep = ep.size() == 2 ? std::string{ep[0], static_cast<char>('1' + '8' - ep[1])} : "-";
  return out + (side == "w" ? " b " : " w ") + (rights.empty() ? "-" : rights) + " " + ep;
}

std::vector<std::string> corpus(int playouts_per_start, int max_length) {
  std::vector<std::string> starts;
  for (const char* f : {"epd/wac.epd", "epd/bratko-kopec.epd", "openings.epd"}) {
    if (!tarn_test::shared_exists(f)) continue;
    std::ifstream file(tarn_test::shared_path(f));
    for (std::string line, a, b, c, d; std::getline(file, line);)
      if (std::istringstream(line) >> a >> b >> c >> d) starts.push_back(a + " " + b + " " + c + " " + d);
  }
  std::vector<std::string> out = starts;
  EvalThread* t = thread();
  std::mt19937 rng(12345);
  char text[FEN_BUFFER];
  for (const std::string& start : starts) {
    for (int p = 0; p < playouts_per_start; p++) {
      parse_fen(&t->board, start.c_str());
      for (int ply = 0; ply < max_length; ply++) {
        MoveEntry list[MAX_MOVES];
        MoveEntry* end = gen_full_list(&t->board, t->board.side, list);
        std::vector<Move> legal;
        for (MoveEntry* e = list; e < end; e++)
          if (e->move && is_legal(&t->board, t->board.side, e->move)) legal.push_back(e->move);
        if (legal.empty()) break;
        make_move(&t->board, legal[rng() % legal.size()]);
        board_to_fen(&t->board, text);
        out.push_back(text);
      }
    }
  }
  return out;
}

}  // namespace eval_test
