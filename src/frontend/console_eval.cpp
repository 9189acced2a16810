// The console's views of the evaluation: the parameter listing ("sp") and the
// breakdown shown instead of the board while the debug display is on.
#include <cstdio>
#include <string>

#include "eval/evaluate.h"
#include "eval/params.h"
#include "frontend/console_commands.h"
#include "search/game_position.h"
#include "search/search.h"

namespace {

void out(std::string& text, const char* format, int a, int b = 0, int c = 0, int d = 0, int e = 0,
         int f = 0, int g = 0, int h = 0, int i = 0) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, a, b, c, d, e, f, g, h, i);
  text += buffer;
}

void list_material(std::string& t, const ParamBlock& p) {
  t += "piece values=";
  out(t, "  %d/%d", p.pawn_value_op, p.pawn_value_en);
  out(t, "  %d/%d", p.knight_value_op, p.knight_value_en);
  out(t, "  %d/%d", p.bishop_value_op, p.bishop_value_en);
  out(t, "  %d/%d", p.rook_value_op, p.rook_value_en);
  out(t, "  %d/%d", p.queen_value_op, p.queen_value_en);
  t += "\n";
  out(t, "bishop_pair= %d , %d\n\n", p.bishop_pair_op, p.bishop_pair_en);
}

// The danger table holds 32 entries; the listing shows 64 and the rows past
// the table (which the evaluation never reaches) as 0.
void list_king_danger(std::string& t, const ParamBlock& p) {
  t += "KingDanger[]=";
  for (int i = 0; i < 64; i++) {
    if (i % 10 == 0) out(t, "\n%2d:  ", i);
    out(t, "  %3d ", i < 32 ? p.king_danger[i] : 0);
  }
  t += "\n\n";
}

// Counts above 8 show the knight's last entry: a knight never has more moves.
void list_mobility(std::string& t, const ParamBlock& p) {
  for (int n = 0; n <= 14; n++) {
    const OpEn& k = p.mob_knight[n < 8 ? n : 8];
    out(t, "%3d  nmob= %3d/%3d  bmob=%3d/%3d  rmob=%3d/%3d  qmob= %3d/%3d\n", n, k.op, k.en,
        p.mob_bishop[n].op, p.mob_bishop[n].en, p.mob_rook[n].op, p.mob_rook[n].en,
        p.mob_queen[n].op, p.mob_queen[n].en);
  }
  out(t, "queen_mob[28] = %d/%d\n", p.mob_queen[28].op, p.mob_queen[28].en);
}

void list_pst(std::string& t, const ParamBlock& p) {
  static const char* const titles[12] = {
      "PawnOpening", "PawnEnding",  "KnightOpening", "KnightEnding", "BishopOpening", "BishopEnding",
      "RookOpening", "RookEnding",  "QueenOpening",  "QueenEnding",  "KingOpening",   "KingEnding"};
  for (int table = 0; table < 12; table++) {
    int type = table / 2 + 1, phase = table % 2;
    t += titles[table];
    t += "\n";
    for (int rank = 7; rank >= 0; rank--) {
      for (int file = 0; file < 8; file++) {
        const OpEn& v = p.pst[type][rank * 8 + file];
        out(t, "  %3d ", phase ? v.en : v.op);
      }
      t += "\n";
    }
    t += "\n";
  }
}

void show_params() {
  const ParamBlock& p = params;
  std::string t;
  list_material(t, p);
  list_king_danger(t, p);
  list_mobility(t, p);
  for (int r = 1; r <= 6; r++) out(t, "rank=%d,  ppawn=%3d, ppawnx=%3d\n", r + 1, p.ppawn[r], p.ppawn_free[r]);
  out(t, "pawn_shield= %d\n", p.pawn_shield);
  out(t, "pawn_storm= %d\n", p.pawn_storm);
  out(t, "hung= %d/%d\n", p.hung_op, p.hung_en);
  out(t, "pinned= %d/%d\n", p.pinned_op, p.pinned_en);
  out(t, "knight_outpost= %d , %d\n", p.knight_outpost, p.knight_outpost_en);
  list_pst(t, p);
  t += "\n";
  std::fputs(t.c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

void console_show_params(const ConsoleCommand&) { show_params(); }

// The breakdown ends with the quiescence score, as "ev" shows it; it is
// searched on the game block, which the running searches never touch.
int console_show_evaluation() {
  SearchThread* game = game_thread();
  if (!game) return 0;
  show_eval(game, quiescence_score(game));
  return 1;
}
