#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board/position_check.h"
#include "board_support.h"

using board_test::setup;
using board_test::snapshot;

namespace {

// Unmake puts a captured piece or a promoted pawn back at the end of its list.
void to_end(Board& board, int code, int sq) {
  uint8_t* list = board.plist[code];
  std::rotate(std::find(list, list + PLIST_SIZE, sq), std::find(list, list + PLIST_SIZE, sq) + 1,
              std::find(list, list + PLIST_SIZE, NO_SQUARE));
}

board_test::Snapshot after_make_and_unmake(board_test::Snapshot before, Move move) {
  Board& b = before.board;
  int from = move_from(move), to = move_to(move), piece = b.squares[from];
  if (b.squares[to]) to_end(b, b.squares[to], to);
  if (piece_type(piece) == PAWN && to == b.ep) to_end(b, make_piece(PAWN, b.side ^ 1), b.side ? to + 8 : to - 8);
  if (is_promotion(move)) to_end(b, piece, from);
  return before;
}

void play(Board* board, std::initializer_list<const char*> moves) {
  for (const char* text : moves) ASSERT_TRUE(make_move(board, coordinate_move(text))) << text;
}

}  // namespace

TEST(MakeMove, EveryMoveOfRandomGamesUndoesExactly) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  std::mt19937 rng(5);
  int pairs = 0;
  for (int game = 0; game < 72; ++game) {
    Board* board = setup(records[game % records.size()].fen.c_str());
    auto start = snapshot(board);
    int step = 0;
    for (; step < 60; ++step) {
      std::vector<Move> moves = board_test::legal_moves(board);
      if (moves.empty()) break;
      for (Move move : moves) {
        auto before = snapshot(board);
        make_move(board, move);
        ASSERT_TRUE(board_consistent(board)) << board->key << " " << move;  // keys, sums, lists, bitboards
        ASSERT_EQ(position_fault(board), nullptr) << board->key << " " << move;  // legal play stays playable
        ASSERT_EQ(board->thread->last_move, move);
        unmake_move(board);
        ASSERT_EQ(board_test::difference(snapshot(board), after_make_and_unmake(before, move)), "") << move;
        ++pairs;
      }
      make_move(board, moves[rng() % moves.size()]);
    }
    // The whole game taken back: the same position, lists compared as sets.
    while (step--) unmake_move(board);
    auto end = snapshot(board);
    for (auto* s : {&start, &end})
      for (auto& list : s->board.plist) std::sort(list, std::find(list, list + PLIST_SIZE, NO_SQUARE));
    ASSERT_EQ(board_test::difference(end, start), "");
  }
  EXPECT_GT(pairs, 50000);
}

TEST(MakeMove, CastlingAndNullMove) {
  // Rights, rook and en-passant updates are covered by perft; the clock is not.
  Board* board = setup("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  play(board, {"a1b1", "e8c8"});
  EXPECT_EQ(board->fifty, 0);
  EXPECT_EQ(board->castle, CASTLE_WK);

  // The null move keeps the placement keys, clears en passant, flips the side.
  board = setup(START_FEN);
  play(board, {"e2e4"});
  auto before = snapshot(board);
  uint64_t full = full_key(board);
  ASSERT_TRUE(make_null(board));
  EXPECT_EQ(std::pair(board->key, board->pawn_key), std::pair(before.board.key, before.board.pawn_key));
  EXPECT_EQ(full_key(board), full ^ zobrist_state[20] ^ zobrist_state[64] ^ ~0ull);
  EXPECT_EQ(board->thread->last_move + board->thread->ply, before.ply + 1);
  unmake_null(board);
  EXPECT_EQ(board_test::difference(snapshot(board), before), "");
}

TEST(MakeMove, DrawRules) {
  Board* board = setup("7k/8/8/8/8/8/8/K6R w - -");
  board->fifty = 100;
  EXPECT_EQ(is_draw(board, true, 2), 1);
  board = setup("7k/5Q2/6K1/8/8/8/8/8 b - -");  // stalemate: no fifty-move draw
  board->fifty = 100;
  EXPECT_EQ(is_draw(board, true, 2), 0);

  board = setup(START_FEN);
  play(board, {"g1f3", "g8f6", "f3g1", "f6g8"});
  EXPECT_EQ(is_draw(board, true, 2), 2);
  EXPECT_EQ(is_draw(board, true, 3), 0);
  play(board, {"g1f3", "g8f6", "f3g1", "f6g8"});
  EXPECT_EQ(is_draw(board, true, 3), 2);
  board->fifty = 5;  // only the plies since the last irreversible move count
  EXPECT_EQ(is_draw(board, true, 3), 0);

  // Castling rights are not part of the comparison.
  board = setup("r3k3/8/8/8/8/8/8/4K3 b q -");
  play(board, {"a8a7", "e1d1", "a7a8", "d1e1"});
  EXPECT_EQ(is_draw(board, true, 2), 2);
}

TEST(MakeMove, HistoryLimit) {
  Board* board = setup("7k/8/8/8/8/8/8/K7 w - -");
  const char* const shuffle[] = {"a1b1", "h8g8", "b1a1", "g8h8"};
  int made = 0;
  for (; history_room(board); ++made) play(board, {shuffle[made % 4]});
  EXPECT_EQ(made, GAME_HISTORY_LIMIT);
  while (board->thread->history_count < HISTORY_SIZE) ASSERT_TRUE(make_null(board));
  auto before = snapshot(board);
  EXPECT_FALSE(make_move(board, make_move_word(0, 1)));
  EXPECT_FALSE(make_null(board));
  EXPECT_EQ(board_test::difference(snapshot(board), before), "");
}
