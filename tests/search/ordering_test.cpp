#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "search/move_classify.h"
#include "search/move_order.h"
#include "search_support.h"

namespace {

constexpr auto move_of = coordinate_move;

struct Picked {
  Move move;
  int score;
};

std::vector<Picked> pick_all(SearchThread* t, bool in_check) {
  PlyRecord& record = t->stack[1];
  record.stage = STAGE_HASH;
  record.moves_searched = 0;
  std::vector<Picked> out;
  while (MoveEntry* e = next_move(&t->board, in_check)) out.push_back({e->move, e->score});
  return out;
}

// The move as the move lists hold it on the worker's board.
MoveEntry entry(const char* move) {
  const Board& board = search_test::worker()->board;
  MoveEntry e{};
  e.move = move_of(move);
  e.piece = board.squares[move_from(e.move)];
  e.captured = board.squares[move_to(e.move)];
  return e;
}

int index_of(const std::vector<Picked>& list, Move m) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].move == m) return static_cast<int>(i);
  return -1;
}

TEST(MoveOrder, StagesAndScoreBands) {
  SearchThread* t = search_test::worker();
  // White: queen can take a pawn defended by a pawn (losing), knight can take
  // an undefended rook (winning), quiet moves elsewhere.
  search_test::set_position("4k3/8/2p5/1p2r3/8/3N4/1Q6/4K3 w - -");
  reset_move_order(t);  // as at every search start: history 2048 everywhere
  PlyRecord& record = t->stack[1];
  record.hash_move = move_of("e1f1");
  record.killer1 = move_of("b2a3");
  record.killer2 = move_of("b2c3");
  std::vector<Picked> order = pick_all(t, false);
  ASSERT_GE(order.size(), 6u);
  // The hash move; the winning capture, rook 230 minus knight 2; queen takes
  // the undefended rook, 230 - 5; the killers at history 2048 / 128 + 64
  // and + 54.
  const std::vector<std::pair<Move, int>> first = {
      {move_of("e1f1"), 255}, {move_of("d3e5"), 228}, {move_of("b2e5"), 225}, {move_of("b2a3"), 16 + 64},
      {move_of("b2c3"), 16 + 54}};
  for (size_t i = 0; i < first.size(); ++i)
    EXPECT_EQ(std::pair(order[i].move, order[i].score), first[i]) << i;
  // Queen takes the pawn defended by a pawn: 8 + pawn type, behind every
  // fresh quiet move (16).
  const int losing = index_of(order, move_of("b2b5"));
  ASSERT_GE(losing, 0);
  EXPECT_EQ(order[losing].score, 9);
  for (int i = 5; i < losing; ++i) EXPECT_GE(order[i].score, 9);
  EXPECT_EQ(order[5].score, 16);
  // The hash move is generated again later; the move loop skips it then.
  EXPECT_EQ(std::count_if(order.begin(), order.end(), [](const Picked& p) { return p.move == move_of("e1f1"); }), 2);
  record.hash_move = record.killer1 = record.killer2 = 0;

  // Without a hash move the captures come first.
  order = pick_all(t, false);
  EXPECT_EQ(order[0].move, move_of("d3e5"));
  // En passant takes nothing on its square: recaptured, it loses (8 + 0).
  search_test::set_position("4k3/2p5/8/3pP3/8/8/8/4K3 w - d6");
  order = pick_all(t, false);
  const int en_passant = index_of(order, move_of("e5d6"));
  EXPECT_TRUE(en_passant >= 0 && order[en_passant].score == 8) << en_passant;
  // The capture scored highest until its exchange is looked at (queen takes
  // a rook a pawn defends, 230 - 5) loses: the knight's capture of a free
  // pawn comes first; the queen's drops to 8 + rook, behind the quiet moves.
  search_test::set_position("4k3/8/8/1p2p3/3r4/2N5/8/3QK3 w - -");
  order = pick_all(t, false);
  EXPECT_EQ(std::pair(order[0].move, order[0].score), std::pair(move_of("c3b5"), 208));
  ASSERT_GE(index_of(order, move_of("d1d4")), 1);
  EXPECT_EQ(order[index_of(order, move_of("d1d4"))].score, 12);
  EXPECT_EQ(order[1].score, 16);
}

// The quiet stage's pick: the first of the highest keys, in the packed
// groups the picker compares, whatever lies in the keys past the end
// (filled here with the highest value there is).
TEST(MoveOrder, FirstHighestKey) {
  auto first_highest_of = [](std::vector<int16_t> keys, int count) {
    keys.resize(count + 8, INT16_MAX);
    return first_highest(keys.data(), count);
  };
  const std::tuple<std::vector<int16_t>, int, int> cases[] = {
      {{5}, 1, 0},
      {{3, 9, 9, 2}, 4, 1},
      {{-5, -3, -3}, 3, 1},
      {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 9, 0},
      {{0, 0, 0, 0, 0, 0, 0, 4, 4}, 9, 7},                        // equals across a group boundary
      {{2, 2, 2, 2, 2, 2, 2, 2, 2, 7, 7, 1, 7}, 13, 9},           // in the second group
      {{1, 2, 3, 99}, 3, 2},                                      // past the end
      {{4, 0, 0, 0, 0, 0, 0, 0, 0, 50, 60}, 9, 0},                // past the end, same group
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3}, 17, 16}};  // last of three groups
  for (const auto& [keys, count, expected] : cases) EXPECT_EQ(first_highest_of(keys, count), expected) << count;
  std::mt19937 rng(5);
  for (int round = 0; round < 400; ++round) {
    std::vector<int16_t> keys(1 + rng() % 45);
    for (int16_t& k : keys) k = static_cast<int16_t>(rng() % 6 - 1);  // few values: many equals
    const int count = static_cast<int>(keys.size());
    const int expected = static_cast<int>(std::max_element(keys.begin(), keys.end()) - keys.begin());
    ASSERT_EQ(first_highest_of(keys, count), expected) << round;
  }
}

TEST(MoveOrder, InCheckOrderAndHistory) {
  SearchThread* t = search_test::worker();
  // White king in check from a rook on e8; quiet evasions only.
  search_test::set_position("4r1k1/8/8/8/8/8/8/3K4 w - -");
  PlyRecord& record = t->stack[1];
  record.evasion_killer = move_of("d1c2");
  t->hist_table[6][2] = 8000;  // history must not count in check
  // The countermove of the rook's arrival on e8 comes second.
  t->board.thread->last_move = move_of("e7e8");
  t->countermoves[t->board.squares[60]][60] = move_of("d1d2");
  std::vector<Picked> order = pick_all(t, true);
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order[0].move, move_of("d1c2"));
  EXPECT_EQ(order[0].score, 90);
  EXPECT_EQ(order[1].move, move_of("d1d2"));
  EXPECT_EQ(order[1].score, 70);
  // The rest end the quiet stage: below its floor of 4, history or not.
  for (size_t i = 2; i < order.size(); ++i) EXPECT_LT(order[i].score, 4);
  record.evasion_killer = 0;
  t->board.thread->last_move = 0;
  t->countermoves[t->board.squares[60]][60] = 0;

  // Bonus approaches 8192 without reaching it; malus approaches 0 and stops
  // moving at 127.
  int16_t& h = t->hist_table[2][20];
  h = 2048;
  history_bonus(t, 2, 20);
  EXPECT_EQ(h, 2048 + (8192 - 2048) / 64);
  for (int i = 0; i < 5000; ++i) history_bonus(t, 2, 20);
  EXPECT_TRUE(h > 8100 && h < 8192) << h;
  for (int i = 0; i < 5000; ++i) history_malus(t, 2, 20);  // past the stop, had it none
  EXPECT_EQ(h, 127);
  reset_move_order(t);
  EXPECT_EQ(t->hist_table[2][20], 2048);
}

TEST(MoveOrder, KillersAndCountermoves) {
  SearchThread* t = search_test::worker();
  search_test::set_position("4k3/8/8/8/8/8/8/R3K3 w - -");
  search_test::play("a1a2");
  // Black to move now; last move a1a2 (white rook on a2).
  PlyRecord& record = t->stack[t->ply];
  record.killer1 = record.killer2 = record.null_killer = record.evasion_killer = 0;
  record_cutoff(&t->board, record, move_of("e8d8"), false);
  EXPECT_EQ(record.killer1, move_of("e8d8"));
  EXPECT_EQ(t->countermoves[4][8 + 0], move_of("e8d8"));
  EXPECT_EQ(current_countermove(&t->board), move_of("e8d8"));
  record_cutoff(&t->board, record, move_of("e8d8"), false);  // same killer: killer2 untouched
  EXPECT_EQ(record.killer2, 0);
  record_cutoff(&t->board, record, move_of("e8f8"), false);
  EXPECT_EQ(record.killer1, move_of("e8f8"));
  EXPECT_EQ(record.killer2, move_of("e8d8"));
  record_cutoff(&t->board, record, move_of("e8e7"), true);  // in check: evasion killer
  EXPECT_EQ(record.evasion_killer, move_of("e8e7"));
  EXPECT_EQ(record.killer1, move_of("e8f8"));
  t->last_move = 0;  // after a null move
  record_cutoff(&t->board, record, move_of("e8d7"), false);
  EXPECT_EQ(record.null_killer, move_of("e8d7"));
  EXPECT_EQ(record.killer1, move_of("e8f8"));
}

// The countermove earns the killers' bonus; another move to its square does
// not, nor does a killer's square lend its bonus to other moves onto it.
TEST(MoveOrder, BonusOnlyForTheMoveItself) {
  SearchThread* t = search_test::worker();
  search_test::set_position("3rk3/1n6/8/8/8/8/R7/4K3 b - -");
  reset_move_order(t);
  t->last_move = move_of("a1a2");
  t->countermoves[t->board.squares[8]][8] = move_of("d8d6");
  t->stack[1].killer1 = move_of("e8d7");
  std::vector<Picked> order = pick_all(t, false);
  const std::pair<const char*, int> cases[] = {{"d8d6", 80}, {"b7d6", 16}, {"e8d7", 80}, {"d8d7", 16}};
  for (auto [move, score] : cases) {
    const int i = index_of(order, move_of(move));
    EXPECT_TRUE(i >= 0 && order[i].score == score) << move;
  }
}

// A flagless late move survives late-move pruning only when it creates a
// threat: it attacks a bigger piece, or a slider gains a line (one through
// its destination that none of its lines through the origin covered) onto
// a square next to the enemy king that another piece attacks too.
TEST(MovePruning, CreatesThreat) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      // A pawn hits a knight, not a pawn; or the king's box.
      {"4k3/8/8/3n4/8/4P3/8/4K3 w - -", "e3e4", true}, {"4k3/8/8/3p4/8/4P3/8/4K3 w - -", "e3e4", false},
      {"8/8/4k3/8/8/3P4/8/4K3 w - -", "d3d4", true},
      {"4k3/8/8/8/2n5/8/3P4/4K3 w - -", "d2d3", true}, {"4k3/8/8/8/2n5/8/3P4/4K3 w - -", "d2d4", false},
      // A knight hits a rook, not a bishop.
      {"4k3/8/8/6r1/8/8/3N4/4K3 w - -", "d2f3", true}, {"4k3/8/8/6b1/8/8/3N4/4K3 w - -", "d2f3", false},
      {"4k3/8/8/3r4/8/8/8/1N2K3 w - -", "b1c3", true}, {"4k3/8/8/3r4/8/8/8/1N2K3 w - -", "b1a3", false},
      // A bishop sees a rook on a new diagonal; not behind a pawn, nor on the diagonal it had.
      {"4k3/8/8/r7/8/8/8/2B1K3 w - -", "c1d2", true}, {"4k3/8/8/r7/1P6/8/8/2B1K3 w - -", "c1d2", false},
      {"4k3/8/8/6r1/8/8/8/2B1K3 w - -", "c1e3", false},
      // A rook sees a queen on a new rank or file; a king move never counts.
      {"4k3/8/8/8/q7/8/8/3RK3 w - -", "d1d4", true}, {"4k3/8/8/8/r7/8/8/3RK3 w - -", "d1d4", false},
      {"3qk3/8/8/8/8/8/8/R3K3 w - -", "a1d1", true}, {"3qk3/8/8/8/8/8/8/R3K3 w - -", "e1e2", false},
      // f7 next to the king, hit by the bishop as well; through an own queen, not a knight.
      {"6k1/8/8/8/8/1B6/8/R3K3 w - -", "a1a7", true}, {"6k1/8/8/8/8/8/8/R3K3 w - -", "a1a7", false},
      {"6k1/2Q5/8/8/8/8/8/R3K3 w - -", "a1a7", true}, {"6k1/2N5/8/8/8/1B6/8/R3K3 w - -", "a1a7", false},
      {"6k1/8/8/3Q4/8/8/2B5/4K3 w - -", "c2b3", true},    // bishop through its queen to f7
      // f7 on a fresh diagonal, next to the king and already hit by the rook.
      {"6k1/8/8/8/8/8/8/KQ3R2 w - -", "b1b3", true},
      // f3 is new on the third rank but the queen already covered it along
      // d1-h5, where the bishop hits it too; g3 and h3 nobody else attacks.
      {"8/8/8/7B/8/8/6k1/K2Q4 w - -", "d1d3", false},
      // Black: f2 is hit by the bishop; a pawn hits a knight, not a pawn.
      {"r3k3/8/1b6/8/8/8/8/6K1 b - -", "a8a2", true}, {"r3k3/8/8/8/8/8/8/6K1 b - -", "a8a2", false},
      {"4k3/3p4/8/8/4N3/8/8/4K3 b - -", "d7d5", true}, {"4k3/3p4/8/8/4P3/8/8/4K3 b - -", "d7d5", false},
  };
  SearchThread* t = search_test::worker();
  for (const auto& [fen, move, threat] : cases) {
    search_test::set_position(fen);
    EXPECT_EQ(creates_threat(&t->board, t->board.side, entry(move)), threat) << fen << " " << move;
  }
}

TEST(MoveOrder, ClassifyFlags) {
  const char* promotions = "3k4/1P2P3/8/2P5/4n3/8/B7/R3K3 w - -";
  const struct {
    const char* fen;
    const char* move;
    int flags;
    int shown = ~0;  // the flags compared
  } cases[] = {
      {promotions, "b7b8q", FLAG_QUEENING | FLAG_CHECK}, {promotions, "b7b8n", FLAG_PASSER},
      {promotions, "c5c6", FLAG_PASSER},  // no black pawn ahead: passed push to the sixth
      {promotions, "a1d1", FLAG_CHECK}, {promotions, "a2e6", 0, FLAG_CAPTURE}, {promotions, "e1e2", 0},
      {"3k4/8/8/8/4n3/8/4R3/4K3 w - -", "e2e4", FLAG_CAPTURE},
      {"4k3/8/8/8/8/8/3P4/3RK3 w - -", "d2d4", 0},  // fourth rank: no pawn flag
      {"3k4/8/8/8/8/8/3B4/3RK3 w - -", "d2e3", FLAG_CHECK | FLAG_DISCOVERED},
  };
  for (const auto& c : cases) {
    search_test::set_position(c.fen);
    const Board* board = &search_test::worker()->board;
    CheckSquares checks;
    find_check_squares(board, 0, checks);
    EXPECT_EQ(classify_move(board, 0, entry(c.move), checks) & c.shown, c.flags) << c.move;
  }
}

// Quiescence's quiet moves: direct checks (pawn pushes, then the pieces),
// then pushes onto the seventh rank, for either colour; no pawn walk is
// skipped where a push qualifies.
TEST(MoveOrder, QuietChecks) {
  const std::pair<const char*, std::vector<const char*>> cases[] = {
      {"8/8/2P1k3/8/5P2/1N6/8/4K3 w - -", {"f4f5", "b3d4", "b3c5", "c6c7"}},
      {"4k3/8/8/5p2/8/2p1K3/8/8 b - -", {"f5f4", "c3c2"}},
      {"4k3/8/8/8/8/8/P7/1R2K3 w - -", {"b1b8"}},  // no pawn qualifies
  };
  Board* board = &search_test::worker()->board;
  for (const auto& [fen, expected] : cases) {
    search_test::set_position(fen);
    MoveEntry list[MAX_MOVES];
    std::vector<Move> got;
    for (MoveEntry* e = list, *end = gen_quiet_checks(board, board->side, list); e != end; ++e) got.push_back(e->move);
    std::vector<Move> want;
    for (const char* m : expected) want.push_back(move_of(m));
    EXPECT_EQ(got, want) << fen;
  }
}

// What a node tells its child about check, against the child's own look at
// its king, for every legal move: the castling rook's check and en passant
// that uncovers a rook (two pawns leave the line) are left to the child.
TEST(MoveOrder, ToldCheckAgreesWithTheChild) {
  const struct {
    const char* fen;
    const char* blind;  // a checking move the check squares miss
  } cases[] = {
      {"5k2/8/8/8/8/8/8/4K2R w K -", "e1g1"},
      {"8/8/8/k2pP2R/8/8/8/4K3 w - d6", "e5d6"},
      {"3k4/1P6/8/2P5/4n3/8/3B4/3RK3 w - -", nullptr},  // promotions, a bishop uncovering the rook
      {"r3k2r/pb1p1ppp/1p2pn2/q1P5/1nB1P3/2N2N2/PP1B1PPP/R2QK2R b KQkq -", nullptr},
  };
  SearchThread* t = search_test::worker();
  Board* board = &t->board;
  for (const auto& c : cases) {
    search_test::set_position(c.fen);
    const int side = board->side;
    CheckSquares checks;
    find_check_squares(board, side, checks);
    for (MoveEntry* e = gen_all(board); e->move != MOVE_END; ++e) {
      if (!is_legal(board, side, e->move)) continue;
      const bool verdict = gives_check(board, side, *e, checks) != 0;
      const uint8_t told = told_check(board, *e, verdict);
      ASSERT_TRUE(make_move(board, e->move));
      const bool checked = in_check(board);
      unmake_move(board);
      if (told != CHECK_UNKNOWN) {
        EXPECT_EQ(told == CHECK_YES, checked) << c.fen << " " << e->move;
      }
      if (c.blind && e->move == move_of(c.blind)) {
        EXPECT_TRUE(checked && !verdict && told == CHECK_UNKNOWN) << c.fen;
      }
    }
  }
}

}  // namespace
