// Each term on a position built to isolate it, with the numbers worked out
// by hand from the default parameters.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>
#include <utility>

#include "board/fen.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "eval/pawn_hash.h"
#include "eval_support.h"

using eval_test::eval_fen;
using eval_test::thread;

namespace {

int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

// White opening, white ending, black opening, black ending.
using Term = std::array<int, 4>;

// The opening and ending sums of one group of terms for both colours.
Term term(const std::string& fen, int group) {
  display_eval_terms = true;
  eval_fen(fen);
  display_eval_terms = false;
  EXPECT_TRUE(eval_display.valid) << fen;
  const EvalDisplay& d = eval_display;
  return Term{d.term_op[group][0], d.term_en[group][0], d.term_op[group][1], d.term_en[group][1]};
}

PawnEntry pawns(const std::string& fen) {
  thread();
  parse_fen(&thread()->board, fen.c_str());
  PawnEntry e;
  compute_pawn_entry(&thread()->board, e);
  return e;
}

// A colour's opening and ending sums of the pawn structure.
std::pair<int, int> sums(const PawnEntry& e, int c) { return {e.op[c], e.en[c]}; }

// The threat words of the last one-off evaluation: against white, against black.
std::array<int, 2> threats() { return {thread()->eval_ply[1].threat[0], thread()->eval_ply[1].threat[1]}; }

TEST(Terms, PawnStructure) {
  // c3 and e3 are backward and weak; d4 is supported (4).
  PawnEntry a = pawns("4k3/8/8/8/3P4/2P1P3/8/4K3 w - -");
  EXPECT_EQ(sums(a, 0), std::pair((0 - 4 - 8) + (5 - 4 - 8) + (10 + 4), (1 - 4 - 4) + (1 - 4 - 4) + (2 + 4)));
  EXPECT_EQ(a.passed, (1ULL << sq("c3")) | (1ULL << sq("d4")) | (1ULL << sq("e3")));
  EXPECT_EQ((std::pair<int, int>(a.files[0], a.files[1])), std::pair(0x1C, 0));
  // A phalanx on the fifth: 18 each.
  EXPECT_EQ(sums(pawns("4k3/8/8/3PP3/8/8/8/4K3 w - -"), 0), std::pair(2 * (10 + 18), 2 * (5 + 18)));
  // e5 defended from d4 gets 7; d4 is backward and weak.
  EXPECT_EQ(sums(pawns("4k3/8/8/4P3/3P4/8/8/4K3 w - -"), 0), std::pair((10 - 4 - 8) + (10 + 7), (2 - 4 - 4) + (5 + 7)));
  // Doubled isolated c-pawns pay doubled, backward, isolated and weak each.
  PawnEntry d = pawns("4k3/8/8/8/8/2P5/2P5/4K3 w - -");
  EXPECT_EQ(sums(d, 0), std::pair(2 * (-5 - 4 - 8 - 8), (0 - 5 - 4 - 8 - 4) + (1 - 5 - 4 - 8 - 4)));
  // Black's view is mirrored: the same structure on the other side.
  EXPECT_EQ(sums(pawns("4k3/2p5/2p5/8/8/8/8/4K3 w - -"), 1), sums(d, 0));
  // Passed or not.
  EXPECT_FALSE(pawns("4k3/8/1p6/P7/8/8/8/4K3 w - -").passed & (1ULL << sq("a5")));
  EXPECT_TRUE(pawns("4k3/8/8/P7/1p6/8/8/4K3 w - -").passed & (1ULL << sq("a5")));
  // Candidate: unopposed, one helper beside, one sentry.
  EXPECT_EQ(pawns("6k1/3p4/8/2PP4/8/8/8/6K1 w - -").candidates, 1ULL << sq("c5"));
}

// How much each colour's opening and ending sums (material and every term)
// move when one parameter is raised by one: the number of times the term
// applies to each side, whatever the other terms add.
Term uses(const std::string& fen, int16_t ParamBlock::*field) {
  auto totals = [&] {
    term(fen, TERM_PAWNS);
    const EvalDisplay& d = eval_display;
    Term t{d.mat_op[0], d.mat_en[0], d.mat_op[1], d.mat_en[1]};
    for (int g = 0; g < TERM_COUNT; g++)
      for (int c = 0; c < 2; c++) t[2 * c] += d.term_op[g][c], t[2 * c + 1] += d.term_en[g][c];
    return t;
  };
  const Term before = totals();
  params.*field += 1;
  init_eval_tables();
  Term after = totals();
  eval_test::reset_params();
  for (int i = 0; i < 4; i++) after[i] -= before[i];
  return after;
}

// Each row changes one thing against its neighbour, so that a term applies
// on one side of its rule's boundary and not on the other: how often its
// opening and its ending parameter count for each side; the colour-reversed
// board must give the same counts for the other side.
TEST(Terms, EachRuleOnBothSidesOfItsBoundary) {
  using P = ParamBlock;
  // The board, the rule's opening and ending parameter, and the counts.
  const std::tuple<const char*, int16_t P::*, int16_t P::*, Term> cases[] = {
      // Two bishops (of either square colour) make a pair, one does not.
      {"2b1kb2/pppp4/8/8/8/8/PPPP4/2B1K3 w - -", &P::bishop_pair_op, &P::bishop_pair_en, {0, 0, 1, 1}},
      {"1b2k3/pppp4/8/8/8/8/PPPP4/2B1KB2 w - -", &P::bishop_pair_op, &P::bishop_pair_en, {1, 1, 0, 0}},
      {"4k3/pppp4/8/8/8/8/PPPP4/B1B1K3 w - -", &P::bishop_pair_op, &P::bishop_pair_en, {1, 1, 0, 0}},
      // Rooks on a1 (own pawn: nothing), d1 (only an enemy pawn: half-open)
      // and h1 (no pawn: open).
      {"4k3/3p1p2/8/8/8/8/P4P2/R2RK2R w - -", &P::rook_open_file_op, &P::rook_open_file_en, {1, 1, 0, 0}},
      {"4k3/3p1p2/8/8/8/8/P4P2/R2RK2R w - -", &P::rook_half_open_file_op, &P::rook_half_open_file_en, {1, 1, 0, 0}},
      // Both rooks half-open, then both open once the black pawns go.
      {"4k3/p2p4/8/8/8/8/5P2/R2RK3 w - -", &P::rook_half_open_file_op, &P::rook_half_open_file_en, {2, 2, 0, 0}},
      {"4k3/p2p4/8/8/8/8/5P2/R2RK3 w - -", &P::rook_open_file_op, &P::rook_open_file_en, {0, 0, 0, 0}},
      {"4k3/5p2/8/8/8/8/5P2/R2RK3 w - -", &P::rook_open_file_op, &P::rook_open_file_en, {2, 2, 0, 0}},
      // d4 cannot be guarded from c5 and e5 and stands on the fourth rank:
      // backward; one rank further up it is not ...
      {"4k3/8/8/2P1P3/3P4/8/8/4K3 w - -", &P::pawn_backward_op, &P::pawn_backward_en, {1, 1, 0, 0}},
      {"4k3/8/2P1P3/3P4/8/8/8/4K3 w - -", &P::pawn_backward_op, &P::pawn_backward_en, {0, 0, 0, 0}},
      // ... but weak either way while no black pawn stands ahead of it.
      {"4k3/8/2P1P3/3P4/8/8/8/4K3 w - -", &P::pawn_weak_op, &P::pawn_weak_en, {1, 1, 0, 0}},
      {"4k3/3p4/2P1P3/3P4/8/8/8/4K3 w - -", &P::pawn_weak_op, &P::pawn_weak_en, {0, 0, 0, 0}},
      // A rook boxed in by its own king on g1 is trapped (in the opening);
      // on h1 beside a king still on e1 it is not.
      {"6k1/p5pp/8/8/8/8/PP3PPP/5KR1 w - -", &P::rook_trapped, &P::rook_trapped_en, {1, 0, 0, 0}},
      {"6k1/p5pp/8/8/8/8/PP3PPP/4K2R w - -", &P::rook_trapped, &P::rook_trapped_en, {0, 0, 0, 0}},
      // A queen on the seventh with enemy pawns there gains in the ending
      // only; on the sixth not at all.
      {"6k1/Q5pp/8/8/8/8/6PP/6K1 w - -", &P::queen_rank7_op, &P::queen_rank7_en, {0, 1, 0, 0}},
      {"6k1/6pp/Q7/8/8/8/6PP/6K1 w - -", &P::queen_rank7_op, &P::queen_rank7_en, {0, 0, 0, 0}},
  };
  for (const auto& [fen, op, en, e] : cases) {
    const std::string twin = eval_test::mirror_fen(fen);
    EXPECT_EQ(uses(fen, op), (Term{e[0], 0, e[2], 0})) << fen;
    EXPECT_EQ(uses(fen, en), (Term{0, e[1], 0, e[3]})) << fen;
    EXPECT_EQ(uses(twin, op), (Term{e[2], 0, e[0], 0})) << twin;
    EXPECT_EQ(uses(twin, en), (Term{0, e[3], 0, e[1]})) << twin;
  }
}

// Whole groups on positions where one piece (or the kings) brings the only
// terms of its group.
TEST(Terms, PieceGroups) {
  const std::tuple<const char*, int, Term> cases[] = {
      // Knight d4: pst 7/7, mobility 8 (20/26), attacks outposts c6, e6, f5 (16 / 2).
      {"7k/p7/8/8/3N4/8/7P/K7 w - -", TERM_KNIGHTS, {7 + 20 + 8, 7 + 26, 0, 0}},
      // d5: on an outpost defended by c4 (16 + 6) and touching the king zone (6).
      {"7k/8/8/3N4/2P5/8/8/K7 w - -", TERM_KNIGHTS, {7 + 20 + 6 + 22, 7 + 26 + 6, 0, 0}},
      // Bishop f4: pst 1/1, centre e3 and e5 (8), mobility 7 (13/18), two own
      // pawns fixed on its colour (-8/-16).
      {"7k/8/4p3/3pP3/3P1B2/8/8/K7 w - -", TERM_BISHOPS, {1 + 8 + 13 - 8, 1 + 8 + 18 - 16, 0, 0}},
      // Rook d1: pst 1/0, four squares of its file in the enemy half (12),
      // mobility 12 (19/26), open file (14/7).
      {"6k1/p5pp/8/8/8/8/5PPP/3R2K1 w - -", TERM_ROOKS, {1 + 12 + 19 + 14, 12 + 26 + 7, 0, 0}},
      // a7: pst -5/0, three file squares (9), mobility 13 (21/28), open file,
      // seventh rank with enemy pawns there (16/16).
      {"6k1/R5pp/8/8/8/8/6PP/6K1 w - -", TERM_ROOKS, {-5 + 9 + 21 + 14 + 16, 9 + 28 + 7 + 16, 0, 0}},
      // Kings in the start position: pst -7/-19, shelter 10 units (+6),
      // danger entry 0.
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", TERM_KINGS, {-1, -19, -1, -19}},
      // Ending: opening halved; a1 free squares only on the rim but b2
      // inside (no -12); e5 free in the centre (+6) and rank bonus 8.
      {"8/7p/8/4k3/8/8/P7/K7 w - -", TERM_KINGS, {7 / 2, -48, -28 / 2, 9 + 6 + 8}},
  };
  for (const auto& [fen, group, expected] : cases) EXPECT_EQ(term(fen, group), expected) << fen;
}

// With a rook and a queen both scoring, raising one piece's parameter by one
// moves its own group's share for its side and no other group's: the
// display must not credit one kind of piece to another, nor to the rest.
TEST(Terms, ParameterMovesOnlyItsGroup) {
  using P = ParamBlock;
  const char* fen = "6k1/Q5pp/8/8/8/8/6PP/R5K1 w - -";  // rook on an open file, queen on the seventh
  const std::tuple<int16_t P::*, int, bool> cases[] = {{&P::rook_open_file_op, TERM_ROOKS, false},
                                                       {&P::queen_rank7_en, TERM_QUEENS, true}};
  for (const auto& [field, group, ending] : cases) {
    term(fen, group);
    const EvalDisplay before = eval_display;
    params.*field += 1;
    init_eval_tables();
    term(fen, group);
    eval_test::reset_params();
    for (int g = 0; g < TERM_COUNT; g++)
      for (int c = 0; c < 2; c++) {
        bool own = g == group && c == 0;
        EXPECT_EQ(eval_display.term_op[g][c] - before.term_op[g][c], own && !ending) << g << " " << c;
        EXPECT_EQ(eval_display.term_en[g][c] - before.term_en[g][c], own && ending) << g << " " << c;
      }
  }
}

TEST(Terms, KingAttack) {
  // Queen h3 and bishop b7 against g1: shelter 10 units (+6), one safe
  // queen check on g2 (-8/-12) that is also a supported contact check (-10,
  // threat 5000); danger units 2 + zone attacks 3 (bishop g2, queen g2, h2)
  // + attack counter 5 + 2 * checks - 1 for the side to move = 11 (-54);
  // stage 19 adds the ending: f1 and h1 free but on the rim (-12).
  EXPECT_EQ(term("6k1/1b3ppp/8/8/8/7q/5PPP/6K1 w - -", TERM_KINGS)[0], 7 + 6 - 8 - 10 - 54);
  EXPECT_EQ(eval_display.term_en[TERM_KINGS][0], -33 - 12 - 12);
  EXPECT_EQ(threats(), (std::array<int, 2>{5000, 1060}));  // the queen hangs to g2
  // g1 is four files right of the only pawn file: pst -33, -10 per file
  // (free squares f2 and g2 are off the rim, so no -12).
  EXPECT_EQ(term("8/8/2p5/1k6/8/8/2P5/6K1 w - -", TERM_KINGS)[1], -33 - 10 * (6 - 2));
}

TEST(Terms, PassedPawns) {
  // e5: king term (28 * 3 - 18 * 6) * 5 / 16 = -7, base 38 + free 24 + clear
  // run 20; a7: (28 * 4 - 18 * 7) * 2 / 16 = -1, base 7 + free 7.
  EXPECT_EQ(term("7k/p7/8/4P3/8/8/8/K7 w - -", TERM_PASSERS), (Term{75 / 2, 75, 13 / 2, 13}));
  // Threat words: black is threatened by 400 + 100 + 200, white by 100.
  EXPECT_EQ(threats(), (std::array<int, 2>{100, 700}));
  EXPECT_EQ((std::pair<int, int>(eval_display.free_rank[0], eval_display.free_rank[1])), std::pair(5, 2));
}

// The e5 passer's stop square is attacked by a knight (a rook in the last
// two): it is free exactly when white can retake there, whether with a
// pawn, a knight, the king, a rook that only reaches the square once the
// attacker has left or one behind the pawn; mirrored, the same for black.
TEST(Terms, PasserStopSquareRetakers) {
  const std::pair<const char*, int> cases[] = {
      {"3n3k/8/8/4P3/8/8/8/K7 w - -", 0},          {"3n3k/8/5b2/4PP2/8/8/8/K7 w - -", 5},
      {"3n3k/8/5b2/4P3/8/8/8/K7 w - -", 0},        {"3n3k/8/8/4P3/5N2/8/8/K7 w - -", 5},
      {"3n3k/3K4/8/4P3/8/8/8/8 w - -", 5},         {"4R3/4r3/8/4P2k/8/8/8/K7 w - -", 5},
      {"8/4r3/8/4P2k/8/8/8/K3R3 w - -", 5},
  };
  for (const auto& [fen, rank] : cases) {
    term(fen, TERM_PASSERS);
    EXPECT_EQ(eval_display.free_rank[0], rank) << fen;
    term(eval_test::mirror_fen(fen), TERM_PASSERS);
    EXPECT_EQ(eval_display.free_rank[1], rank) << fen << " mirrored";
  }
}

TEST(Terms, CandidatesHungPinnedBlockedTempo) {
  // Candidate c5: ((24 * 4 + 32 * 2) * 48) / 256 = 30 in the ending, plus the tempo.
  EXPECT_EQ(term("6k1/3p4/8/2PP4/8/8/8/6K1 w - -", TERM_OTHER), (Term{14, 7 + 30, 0, 0}));
  // Knight hit by a pawn: hung (-16/-24), threat 330 over the passer's 200.
  EXPECT_EQ(term("6k1/p7/8/3n4/4P3/8/8/6K1 w - -", TERM_OTHER), (Term{14, 7, -16, -24}));
  EXPECT_EQ(threats(), (std::array<int, 2>{250, 330}));
  EXPECT_EQ(eval_display.hung, 1ULL << sq("d5"));
  // Knight pinned to the king, and to the only queen.
  EXPECT_EQ(term("6k1/p7/8/8/1b6/2N5/1P5P/4K3 w - -", TERM_OTHER), (Term{14 - 16, 7 - 24, 0, 0}));
  EXPECT_EQ(std::pair(eval_display.pinned, eval_display.hung), (std::pair<Bitboard, Bitboard>(1ULL << sq("c3"), 0)));
  EXPECT_EQ(term("6k1/p7/8/8/1b6/8/3N3P/4Q2K w - -", TERM_OTHER), (Term{14 - 16, 7 - 24, 0, 0}));
  EXPECT_EQ(eval_display.pinned, 1ULL << sq("d2"));
  // d2 and e2 blocked on their home squares: 2 * 2 + 12 * 2.
  EXPECT_EQ(term("4k3/p7/8/8/8/3BN3/3PP3/4K3 w - -", TERM_OTHER), (Term{14 - 28, 7 - 28, 0, 0}));
  // The tempo goes to the side evaluated.
  EXPECT_EQ(term("4k3/p7/8/8/8/3BN3/3PP3/4K3 b - -", TERM_OTHER), (Term{-28, -28, 14, 7}));
}

TEST(Display, BreakdownLines) {
  EvalThread* t = thread();
  parse_fen(&t->board, "6k1/p7/8/3n4/4P3/8/8/6K1 w - -");
  testing::internal::CaptureStdout();
  show_eval(t, 123);
  std::string text = testing::internal::GetCapturedStdout();
  int score = eval_fen("6k1/p7/8/3n4/4P3/8/8/6K1 w - -");
  char first[128];
  std::snprintf(first, sizeof first, "eval= %d, qscore= 123, stage= 23, draw_adj= 1.00\n\n", score);
  EXPECT_EQ(text.rfind(first, 0), 0u) << text;
  for (const char* part : {"\nhung pieces on:  d5\n", "\nfree pawn ranks are W: 4, B: 2\n",
                           "\nwhite    black     diff\nmtl=       ", "   ( :: N)\npos=       ", "\npassers=   ",
                           "\nwhite\n", "\nblack\n"})  // the per-square boards of each colour
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  EXPECT_EQ(text.find("pinned pieces on :"), std::string::npos);
  // Without free passers that line is left out.
  parse_fen(&t->board, "4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3 w - -");
  testing::internal::CaptureStdout();
  show_eval(t, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout().find("free pawn"), std::string::npos);
}

// The display holds what the last evaluation with it on recorded: the
// evaluations without it (every search's) leave the record alone.
TEST(Terms, DisplayRecordOutlivesOrdinaryEvaluations) {
  term("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -", TERM_PAWNS);
  const EvalDisplay kept = eval_display;
  eval_fen("4k3/8/3p4/8/2N5/8/5PPP/4K3 w - -");
  EXPECT_EQ(std::memcmp(&kept, &eval_display, sizeof kept), 0);  // every field, not only the terms
}

}  // namespace
