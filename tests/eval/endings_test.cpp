// Exact answers: bare minors, KBNK, mating material, KPK, the start position
// and the drawish factors. (The KPK bitbase itself is checked position by
// position against the KPvK table in the tablebase tests.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "eval/evaluate.h"
#include "eval_support.h"

using eval_test::eval_fen;
using eval_test::thread;

namespace {

TEST(Endings, ExactScores) {
  const std::pair<const char*, int> cases[] = {
      // Every term cancels but the tempo: 14 * 148 / 128 = 16.
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", 16},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -", 16},
      // Malformed set-ups score level: no kings, a pawn on the eighth or the first.
      {"8/8/8/8/8/8/PPPPPPPP/RNBQ1BNR w - -", 0}, {"4k2P/8/8/8/8/8/8/QQ2K3 w - -", 0},
      {"4k3/8/8/8/8/8/8/p3K3 b - -", 0},
      // KBNK, dark bishop f4, corners a1/h8: 4 * (strong[d3] 2 + 200 + 2 *
      // weak[a1] 20 - 2 * distance 3).
      {"8/8/8/8/5B2/3K4/4N3/k7 w - -", 944}, {"8/8/8/8/5B2/3K4/4N3/k7 b - -", -944},
      // Defending king on a8 with the attacking king on b6 (second ring, 1):
      // a light bishop mirrors a8 to h8 (20), a dark one reads a8 itself (6).
      {"k7/8/1K6/8/8/8/8/5BN1 w - -", 4 * (1 + 200 + 40 - 4)},
      {"k7/8/1K6/8/8/8/8/4B1N1 w - -", 4 * (1 + 200 + 12 - 4)},
      // Against a bare king: 100 * 5 + 200 - 10 * distance(d4, a8) 4 +
      // mating[a8] 60; queen and rook: 100 * 15 + 200 - 10 * distance(d2,
      // e4) 2 + mating[e4] 0.
      {"k7/8/8/8/3K4/8/8/7R w - -", 720}, {"k7/8/8/8/3K4/8/8/7R b - -", -720},
      {"8/8/8/8/4k3/8/3K4/R3Q3 b - -", -1680},
      // KPK from the bitbase. King in front on the sixth: won whoever moves;
      // colour- and file-mirrored twins agree.
      {"4k3/8/4K3/4P3/8/8/8/8 w - -", 800}, {"4k3/8/4K3/4P3/8/8/8/8 b - -", -800},
      {"8/8/8/8/4p3/4k3/8/4K3 b - -", 800}, {"3k4/8/3K4/3P4/8/8/8/8 b - -", -800},
      // Rook pawn with the defender in the corner, and a pawn the king takes.
      {"k7/8/8/PK6/8/8/8/8 w - -", 0}, {"8/8/8/3k4/4P3/8/8/K7 b - -", 0},
      // The pawn runs home: the defender is outside its square.
      {"8/4P3/8/8/8/8/8/K6k w - -", 800}, {"8/8/8/8/P7/8/8/K6k b - -", -800},
  };
  for (const auto& [fen, score] : cases) EXPECT_EQ(eval_fen(fen), score) << fen;
}

// KBNK: the defender's table reads the same from both corners of the
// bishop's colour, so turning the board half round (a1 <-> h8, each square
// keeping its colour) leaves the score alone wherever the defender stands.
TEST(Endings, KbnkDriveIsTheSameTowardEitherMatingCorner) {
  for (const char* pieces : {"Kd3 Bf4 Ne2", "Kd3 Be4 Ne2"}) {  // dark and light bishop
    for (int defender = 0; defender < 64; ++defender) {
      std::string squares(64, '1');
      for (int at = 0; at < 12; at += 4) squares[pieces[at + 1] - 'a' + 8 * (pieces[at + 2] - '1')] = pieces[at];
      const int df = defender % 8, dr = defender / 8;
      if (squares[defender] != '1' || (std::abs(df - 3) <= 1 && std::abs(dr - 2) <= 1)) continue;
      squares[defender] = 'k';
      std::string placement;
      for (int rank = 7; rank >= 0; --rank) placement += squares.substr(8 * rank, 8) + (rank ? "/" : "");
      const std::string turned(placement.rbegin(), placement.rend());
      EXPECT_EQ(eval_fen(placement + " b - -"), eval_fen(turned + " b - -")) << placement;
    }
  }
}

TEST(Endings, BareMinorsAreDeadDraws) {
  const std::pair<const char*, bool> cases[] = {
      {"8/8/4k3/8/8/8/8/4K3 w - -", true},     {"8/8/4k3/8/8/2N5/8/4K3 w - -", true},
      {"8/8/4k3/8/8/2B5/8/4K3 b - -", true},   {"8/8/4k3/8/8/2NN4/8/4K3 w - -", true},
      {"8/8/4k3/2b5/8/2N5/8/4K3 w - -", true}, {"8/8/4k3/2n5/8/2N5/8/4K3 b - -", true},
      {"8/8/4k3/8/8/2BB4/8/4K3 w - -", false},  // two bishops can win
  };
  for (const auto& [fen, dead] : cases) {
    EXPECT_EQ(eval_fen(fen) == 0, dead) << fen;  // the one-off evaluation clears the mark first
    EXPECT_EQ(thread()->eval_ply[1].dead_draw, dead) << fen;
  }
}

TEST(Endings, DrawishFactors) {
  const std::pair<const char*, double> cases[] = {
      // Rook pawn, wrong bishop (c5, then e1, both dark), defending king in
      // the corner; the right bishop (d1) or the king elsewhere: no rule.
      {"k7/8/8/P1B5/2K5/8/8/8 w - -", 0.06}, {"k7/8/8/P7/2K5/8/8/4B3 w - -", 0.06},
      {"k7/8/8/P7/2K5/8/8/3B4 w - -", 1.0}, {"8/8/k7/P7/2K5/8/8/3B4 w - -", 1.0},
      // Two knights alone against pawns (strong material 6, weak 0 pieces).
      {"8/8/4k3/8/4p3/2NN4/8/4K3 w - -", 0.05},
      // No pawns for the stronger side and a small edge: rook against bishop.
      {"8/8/4k3/8/2b5/8/4R3/4K3 w - -", 0.15},
      // Opposite bishops, one extra pawn, bishops only: the fourth factor of
      // (0.25, 0.2375, 0.225, 0.2125).
      {"2b1k3/p7/8/8/8/8/PP6/2B1K3 w - -", 0.2125},
      // A lone extra pawn: the defending bishop covers d6 (0.35), the king
      // blocks the file (0.75) and is nearer the target square (0.8).
      {"5b2/8/3k4/8/3P4/8/8/2B1K3 w - -", 0.35 * 0.75 * 0.8},
  };
  display_eval_terms = true;
  for (const auto& [fen, factor] : cases) {
    eval_fen(fen);
    EXPECT_NEAR(eval_display.draw_factor, factor, 1e-12) << fen;
  }
  display_eval_terms = false;
}

}  // namespace
