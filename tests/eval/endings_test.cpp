// Exact answers: bare minors, KBNK, mating material, KPK, the start position
// and the drawish factors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "board/fen.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "eval/kpk.h"
#include "eval_support.h"

using eval_test::eval_fen;
using eval_test::thread;

namespace {

TEST(Endings, StartPositionIsTheTempo) {
  // Every term cancels but the tempo: 14 * 148 / 128 = 16.
  EXPECT_EQ(eval_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"), 16);
  EXPECT_EQ(eval_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -"), 16);
}

TEST(Endings, MalformedSetUpsScoreLevel) {
  EXPECT_EQ(eval_fen("8/8/8/8/8/8/PPPPPPPP/RNBQ1BNR w - -"), 0);     // no kings
  EXPECT_EQ(eval_fen("4k2P/8/8/8/8/8/8/QQ2K3 w - -"), 0);            // pawn on the eighth
  EXPECT_EQ(eval_fen("4k3/8/8/8/8/8/8/p3K3 b - -"), 0);              // pawn on the first
}

TEST(Endings, BareMinorsAreDeadDraws) {
  for (const char* fen : {"8/8/4k3/8/8/8/8/4K3 w - -", "8/8/4k3/8/8/2N5/8/4K3 w - -",
                          "8/8/4k3/8/8/2B5/8/4K3 b - -", "8/8/4k3/8/8/2NN4/8/4K3 w - -",
                          "8/8/4k3/2b5/8/2N5/8/4K3 w - -", "8/8/4k3/2n5/8/2N5/8/4K3 b - -"}) {
    thread()->eval_ply[1].dead_draw = 0;
    EXPECT_EQ(eval_fen(fen), 0) << fen;
    EXPECT_EQ(thread()->eval_ply[1].dead_draw, 1) << fen;
  }
  thread()->eval_ply[1].dead_draw = 0;
  EXPECT_NE(eval_fen("8/8/4k3/8/8/2BB4/8/4K3 w - -"), 0);  // two bishops can win
  EXPECT_EQ(thread()->eval_ply[1].dead_draw, 0);
}

TEST(Endings, KbnkDrivesToTheBishopsCorner) {
  // Dark bishop f4, corners a1/h8: 4 * (strong[d3] 2 + 200 + 2 * weak[a1] 20 - 2 * distance 3).
  EXPECT_EQ(eval_fen("8/8/8/8/5B2/3K4/4N3/k7 w - -"), 944);
  EXPECT_EQ(eval_fen("8/8/8/8/5B2/3K4/4N3/k7 b - -"), -944);
  // Defending king on a8 with the attacking king on b6 (second ring, 1):
  // a light bishop mirrors a8 to h8 (20), a dark one reads a8 itself (6).
  EXPECT_EQ(eval_fen("k7/8/1K6/8/8/8/8/5BN1 w - -"), 4 * (1 + 200 + 40 - 4));
  EXPECT_EQ(eval_fen("k7/8/1K6/8/8/8/8/4B1N1 w - -"), 4 * (1 + 200 + 12 - 4));
}

TEST(Endings, MatingMaterialAgainstBareKing) {
  // 100 * 5 + 200 - 10 * distance(d4, a8) 4 + mating[a8] 60.
  EXPECT_EQ(eval_fen("k7/8/8/8/3K4/8/8/7R w - -"), 720);
  EXPECT_EQ(eval_fen("k7/8/8/8/3K4/8/8/7R b - -"), -720);
  // Queen and rook: 100 * 15 + 200 - 10 * distance(d2, e4) 2 + mating[e4] 0.
  EXPECT_EQ(eval_fen("8/8/8/8/4k3/8/3K4/R3Q3 b - -"), -1680);
}

TEST(Endings, SinglePawnUsesTheBitbase) {
  // King in front on the sixth: won whoever moves.
  EXPECT_EQ(eval_fen("4k3/8/4K3/4P3/8/8/8/8 w - -"), 800);
  EXPECT_EQ(eval_fen("4k3/8/4K3/4P3/8/8/8/8 b - -"), -800);
  // Colour-mirrored and file-mirrored twins agree.
  EXPECT_EQ(eval_fen("8/8/8/8/4p3/4k3/8/4K3 b - -"), 800);
  EXPECT_EQ(eval_fen("3k4/8/3K4/3P4/8/8/8/8 b - -"), -800);
  // Rook pawn with the defender in the corner, and a pawn the king takes.
  EXPECT_EQ(eval_fen("k7/8/8/PK6/8/8/8/8 w - -"), 0);
  EXPECT_EQ(eval_fen("8/8/8/3k4/4P3/8/8/K7 b - -"), 0);
  // The pawn runs home: the defender is outside its square.
  EXPECT_EQ(eval_fen("8/4P3/8/8/8/8/8/K6k w - -"), 800);
  EXPECT_EQ(eval_fen("8/8/8/8/P7/8/8/K6k b - -"), -800);
}

int king_distance(int a, int b) {
  int df = std::abs((a & 7) - (b & 7)), dr = std::abs((a >> 3) - (b >> 3));
  return df > dr ? df : dr;
}

std::string kpk_fen(int pawn, int wk, int bk, int side) {
  char squares[64] = {};
  squares[pawn] = 'P', squares[wk] = 'K', squares[bk] = 'k';
  std::string fen;
  for (int rank = 7; rank >= 0; rank--) {
    int empty = 0;
    for (int file = 0; file < 8; file++) {
      char c = squares[rank * 8 + file];
      if (!c) {
        empty++;
        continue;
      }
      if (empty) fen += static_cast<char>('0' + empty), empty = 0;
      fen += c;
    }
    if (empty) fen += static_cast<char>('0' + empty);
    if (rank) fen += '/';
  }
  return fen + (side ? " b - -" : " w - -");
}

// Checks the bitbase against the board's own move generator: a position is
// won with the attacker to move when some legal move reaches a won
// position, and with the defender to move when it has a move and every move
// reaches one. Taking the pawn draws; a promotion wins unless the defender
// can take the new queen (the bitbase ignores stalemates after promotion).
TEST(Endings, KpkAgreesWithTheMoveGenerator) {
  EvalThread* t = thread();
  int checked = 0, wins = 0;
  for (int pawn = 8; pawn < 56; pawn++) {
    if ((pawn & 7) > 3) continue;
    for (int wk = 0; wk < 64; wk += 3) {
      for (int bk = 1; bk < 64; bk += 4) {
        if (wk == bk || wk == pawn || bk == pawn || king_distance(wk, bk) <= 1) continue;
        for (int side = 0; side < 2; side++) {
          bool black_in_check = (bk == pawn + 7 && (pawn & 7) > 0) || (bk == pawn + 9 && (pawn & 7) < 7);
          if (side == 0 && black_in_check) continue;
          parse_fen(&t->board, kpk_fen(pawn, wk, bk, side).c_str());
          MoveEntry list[MAX_MOVES];
          MoveEntry* end = gen_full_list(&t->board, side, list);
          int legal = 0, won = 0;
          for (MoveEntry* e = list; e < end; e++) {
            Move m = e->move;
            if (!m || !is_legal(&t->board, side, m)) continue;
            if (is_promotion(m) && !(m & PROMOTE_QUEEN)) continue;
            legal++;
            int from = move_from(m), to = move_to(m);
            bool win;
            if (side == 0 && from == pawn && to >= 56)
              win = king_distance(bk, to) > 1 || king_distance(wk, to) <= 1;
            else if (side == 0)
              win = probe_kpk_squares(0, from == pawn ? to : pawn, from == wk ? to : wk, bk, 1) != 0;
            else
              win = to != pawn && probe_kpk_squares(0, pawn, wk, to, 0) != 0;
            won += win;
          }
          bool expected = side == 0 ? won > 0 : legal > 0 && won == legal;
          ASSERT_EQ(probe_kpk_squares(0, pawn, wk, bk, side) != 0, expected)
              << kpk_fen(pawn, wk, bk, side);
          // The same position with colours exchanged, and on the other wing.
          ASSERT_EQ(probe_kpk_squares(1, pawn ^ 56, bk ^ 56, wk ^ 56, side ^ 1),
                    probe_kpk_squares(0, pawn, wk, bk, side));
          ASSERT_EQ(probe_kpk_squares(0, pawn ^ 7, wk ^ 7, bk ^ 7, side),
                    probe_kpk_squares(0, pawn, wk, bk, side));
          checked++;
          wins += expected;
        }
      }
    }
  }
  EXPECT_GT(checked, 5000);
  EXPECT_GT(wins, checked / 3);
  EXPECT_LT(wins, checked);
}

TEST(Endings, DrawishFactors) {
  // Rook pawn, wrong bishop, defending king in the corner: 0.06.
  display_eval_terms = true;
  eval_fen("k7/8/8/P1B5/2K5/8/8/8 w - -");
  EXPECT_DOUBLE_EQ(eval_display.draw_factor, 0.06);
  eval_fen("k7/8/8/P7/2K5/8/8/4B3 w - -");  // e1 is dark too
  EXPECT_DOUBLE_EQ(eval_display.draw_factor, 0.06);
  eval_fen("k7/8/8/P7/2K5/8/8/3B4 w - -");  // d1 light: the right bishop
  EXPECT_DOUBLE_EQ(eval_display.draw_factor, 1.0);
  eval_fen("8/8/k7/P7/2K5/8/8/3B4 w - -");  // correct colour elsewhere: no rule
  EXPECT_DOUBLE_EQ(eval_display.draw_factor, 1.0);
  // Two knights alone against pawns: 0.05 (strong material 6, weak 0 pieces).
  eval_fen("8/8/4k3/8/4p3/2NN4/8/4K3 w - -");
  EXPECT_DOUBLE_EQ(eval_display.draw_factor, 0.05);
  // No pawns for the stronger side and a small edge: rook against bishop.
  eval_fen("8/8/4k3/8/2b5/8/4R3/4K3 w - -");
  EXPECT_DOUBLE_EQ(eval_display.draw_factor, 0.15);
  // Opposite bishops, one extra pawn, bishops only: the fourth factor of
  // (0.25, 0.2375, 0.225, 0.2125).
  eval_fen("2b1k3/p7/8/8/8/8/PP6/2B1K3 w - -");
  EXPECT_DOUBLE_EQ(eval_display.draw_factor, 0.2125);
  // A lone extra pawn: the defending bishop covers d6 (0.35), the king
  // blocks the file (0.75) and is nearer the target square (0.8).
  eval_fen("5b2/8/3k4/8/3P4/8/8/2B1K3 w - -");
  EXPECT_NEAR(eval_display.draw_factor, 0.35 * 0.75 * 0.8, 1e-12);
  display_eval_terms = false;
}

}  // namespace
