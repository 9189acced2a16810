// The evaluation breakdown for the console.
#include <cstdio>
#include <cstring>

#include "core/output.h"
#include "eval/eval_thread.h"
#include "eval/evaluate.h"
#include "eval/params.h"

namespace {

int blend(int op, int en, int stage) { return (op * (24 - stage) + en * stage) / 24; }

int stage_of(const Board* b) {
  int units = 0;
  for (int c = 0; c < 2; c++) {
    uint32_t sig = b->signature[c];
    int u = ((sig >> 4) & 15) + ((sig >> 8) & 15) + 2 * ((sig >> 12) & 15) + 4 * (sig >> 16);
    units += u > 12 ? 12 : u;
  }
  return 24 - units;
}

void print_squares(const char* title, Bitboard set) {
  if (!set) return;
  char line[256];
  std::snprintf(line, sizeof line, "%s", title);
  for (; set; set &= set - 1) {
    size_t used = std::strlen(line);
    std::snprintf(line + used, sizeof line - used, "  %s", square_name[lsb(set)]);
  }
  print_line(line);
}

// Letters of the pieces one side has more of, queens first.
void surplus(const Board* b, int c, char* out) {
  static const char letters[] = "QRBNP";
  static const int shifts[] = {16, 12, 8, 4, 0};
  int n = 0;
  for (int i = 0; i < 5; i++) {
    int mask = shifts[i] == 16 ? 0xFF : 15;
    int mine = (b->signature[c] >> shifts[i]) & mask;
    int theirs = (b->signature[c ^ 1] >> shifts[i]) & mask;
    for (int k = mine - theirs; k > 0 && n < 30; k--) out[n++] = letters[i];
  }
  out[n] = 0;
}

void print_row(const char* label, int white, int black) {
  print_linef("%s%5d    %5d    %5d", label, white, black, white - black);
}

void print_square_board(const Board* b, int colour) {
  print_line(colour ? "black" : "white");
  for (int rank = 7; rank >= 0; rank--) {
    char line[64] = "";
    for (int file = 0; file < 8; file++) {
      int sq = rank * 8 + file;
      int code = b->squares[sq];
      int v = code && (code >> 3) == colour ? eval_display.square_value[sq] : 0;
      size_t used = std::strlen(line);
      std::snprintf(line + used, sizeof line - used, "%4d", v);
    }
    print_line(line);
  }
}

}  // namespace

void show_eval(EvalThread* thread, int qscore) {
  const Board* b = &thread->board;
  eval_display.valid = false;
  display_eval_terms = true;
  int score = evaluate(thread, b->side, 1, 0);
  display_eval_terms = false;
  const EvalDisplay& d = eval_display;
  if (!d.valid) {  // an exactly known ending: no terms to show
    print_linef("eval= %d, qscore= %d, stage= %d, draw_adj= %0.2f", score, qscore, stage_of(b), 1.0);
    print_line("");
    return;
  }
  print_linef("eval= %d, qscore= %d, stage= %d, draw_adj= %0.2f", score, qscore, d.stage,
              d.draw_factor);
  print_line("");
  print_squares("hung pieces on:", d.hung);
  print_squares("pinned pieces on :", d.pinned);
  if (d.free_rank[0] > 0 || d.free_rank[1] > 0)
    print_linef("free pawn ranks are W: %d, B: %d", d.free_rank[0], d.free_rank[1]);

  print_line("white    black     diff");
  char extra[2][32];
  surplus(b, 0, extra[0]);
  surplus(b, 1, extra[1]);
  int mw = blend(d.mat_op[0], d.mat_en[0], d.stage), mb = blend(d.mat_op[1], d.mat_en[1], d.stage);
  print_linef("mtl=       %5d    %5d    %5d   (%s :: %s)", mw, mb, mw - mb, extra[0], extra[1]);
  int pos[2] = {0, 0};
  for (int t = 0; t < TERM_COUNT; t++)
    for (int c = 0; c < 2; c++) pos[c] += blend(d.term_op[t][c], d.term_en[t][c], d.stage);
  print_row("pos=       ", pos[0], pos[1]);
  static const char* const labels[] = {"pawns=     ", "knights=   ", "bishops=   ", "rooks=     ",
                                       "queens=    ", "kings=     ", "passers=   "};
  for (int t = TERM_PAWNS; t <= TERM_PASSERS; t++)
    print_row(labels[t], blend(d.term_op[t][0], d.term_en[t][0], d.stage),
              blend(d.term_op[t][1], d.term_en[t][1], d.stage));
  print_line("");
  print_square_board(b, 0);
  print_square_board(b, 1);
}
