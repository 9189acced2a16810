#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board/fen.h"
#include "board/keys.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board_support.h"

using board_test::setup;
using board_test::snapshot;

namespace {

// Moves square `sq` to the end of list `code`: where unmake puts a piece back.
void to_end(Board& board, int code, int sq) {
  uint8_t* list = board.plist[code];
  uint8_t* found = std::find(list, list + PLIST_SIZE, static_cast<uint8_t>(sq));
  ASSERT_NE(*found, NO_SQUARE);
  std::rotate(found, found + 1, std::find(list, list + PLIST_SIZE, static_cast<uint8_t>(NO_SQUARE)));
}

// The position after make and unmake of `move`, as the list rules predict.
board_test::Snapshot expected_after_pair(board_test::Snapshot before, Move move) {
  Board& b = before.board;
  int from = move_from(move), to = move_to(move), piece = b.squares[from];
  if (b.squares[to]) to_end(b, b.squares[to], to);
  if (piece_type(piece) == PAWN && to == b.ep) to_end(b, make_piece(PAWN, b.side ^ 1), b.side ? to + 8 : to - 8);
  if (is_promotion(move)) to_end(b, piece, from);
  return before;
}

std::string lists(const Board& board) {
  std::string text;
  for (int code = 1; code < 15; ++code) {
    text += std::to_string(code) + ":";
    for (const uint8_t* sq = board.plist[code]; *sq != NO_SQUARE; ++sq) text += " " + std::to_string(*sq);
    text += "\n";
  }
  return text;
}

Move parse(const char* text) {
  char buffer[MOVE_TEXT_SIZE];
  std::snprintf(buffer, sizeof buffer, "%s", text);
  Move move = 0;
  EXPECT_EQ(parse_move(buffer, &move), 1) << text;
  return move;
}

}  // namespace

TEST(MakeMove, EveryMoveOfRandomGamesUndoesExactly) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  std::mt19937 rng(5);
  int pairs = 0;
  for (const auto& record : records) {
    for (int game = 0; game < 3; ++game) {
      Board* board = setup(record.fen.c_str());
      for (int step = 0; step < 60; ++step) {
        std::vector<Move> moves = board_test::legal_moves(board);
        if (moves.empty()) break;
        for (Move move : moves) {
          auto before = snapshot(board);
          ASSERT_TRUE(make_move(board, move));
          ++pairs;
          ASSERT_TRUE(board_consistent(board)) << record.fen << " " << move;
          ASSERT_EQ(board->thread->last_move, move);
          unmake_move(board);
          auto expected = expected_after_pair(before, move);
          auto actual = snapshot(board);
          ASSERT_EQ(board_test::difference(actual, expected), "")
              << record.fen << " move " << move << "\n" << lists(actual.board) << lists(expected.board);
        }
        make_move(board, moves[rng() % moves.size()]);
      }
    }
  }
  EXPECT_GT(pairs, 50000);
}

TEST(MakeMove, LongSequenceUndoesToTheSamePosition) {
  std::mt19937 rng(9);
  for (int game = 0; game < 50; ++game) {
    Board* board = setup(START_FEN);
    auto before = snapshot(board);
    std::vector<Move> played = board_test::random_walk(board, rng, 120);
    for (size_t i = 0; i < played.size(); ++i) unmake_move(board);
    auto after = snapshot(board);
    // Pieces put back stand at the end of their lists: compare lists as sets.
    for (auto* s : {&before, &after})
      for (auto& list : s->board.plist) std::sort(list, std::find(list, list + PLIST_SIZE, NO_SQUARE));
    ASSERT_EQ(board_test::difference(after, before), "");
  }
}

TEST(MakeMove, StateChanges) {
  Board* board = setup(START_FEN);
  make_move(board, parse("e2e4"));
  EXPECT_EQ(board->ep, 20);
  uint64_t with_ep = full_key(board);
  board->ep = NO_SQUARE;
  EXPECT_NE(full_key(board), with_ep);

  board = setup("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  make_move(board, parse("h1h8"));  // rook leaves h1 and captures on h8
  EXPECT_EQ(board->castle, CASTLE_WQ | CASTLE_BQ);
  make_move(board, parse("e8d7"));
  EXPECT_EQ(board->castle, CASTLE_WQ);

  board = setup("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  make_move(board, parse("a1a8"));
  EXPECT_EQ(board->castle, CASTLE_WK | CASTLE_BK);

  board = setup("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  make_move(board, parse("a1b1"));
  make_move(board, parse("e8c8"));
  EXPECT_EQ(board->fifty, 0);
  EXPECT_EQ(board->squares[59], BLACK_ROOK);
  EXPECT_EQ(board->castle, CASTLE_WK);
  EXPECT_TRUE(board_consistent(board));
}

TEST(MakeMove, NullMove) {
  Board* board = setup(START_FEN);
  make_move(board, parse("e2e4"));
  auto before = snapshot(board);
  uint64_t full = full_key(board);
  ASSERT_TRUE(make_null(board));
  EXPECT_EQ(board->key, before.board.key);
  EXPECT_EQ(board->pawn_key, before.board.pawn_key);
  EXPECT_EQ(board->ep, NO_SQUARE);
  EXPECT_EQ(full_key(board), full ^ zobrist_state[20] ^ zobrist_state[64] ^ ~0ull);
  EXPECT_EQ(board->thread->last_move, 0);
  EXPECT_EQ(board->thread->ply, before.ply + 1);
  unmake_null(board);
  EXPECT_EQ(board_test::difference(snapshot(board), before), "");
}

TEST(MakeMove, DrawRules) {
  // Fifty-move rule: a draw when a legal move exists, else the repetition test.
  Board* board = setup("7k/8/8/8/8/8/8/K6R w - -");
  board->fifty = 100;
  EXPECT_EQ(is_draw(board, true, 2), 1);
  board = setup("7k/5Q2/6K1/8/8/8/8/8 b - -");  // stalemate
  board->fifty = 100;
  EXPECT_EQ(is_draw(board, true, 2), 0);
  board->fifty = 3;
  EXPECT_EQ(is_draw(board, true, 2), 0);

  // Knights out and back: the start placement again after four plies.
  board = setup(START_FEN);
  for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) make_move(board, parse(m));
  EXPECT_EQ(is_draw(board, true, 2), 2);
  EXPECT_EQ(is_draw(board, true, 3), 0);
  for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) make_move(board, parse(m));
  EXPECT_EQ(is_draw(board, true, 3), 2);
  // Only the last `fifty` plies are searched for an earlier occurrence.
  board->fifty = 5;
  EXPECT_EQ(is_draw(board, true, 2), 2);
  EXPECT_EQ(is_draw(board, true, 3), 0);

  // A lost castling right or en-passant square does not make it a new position.
  board = setup("r3k3/8/8/8/8/8/8/4K3 b q -");
  for (const char* m : {"a8a7", "e1d1", "a7a8", "d1e1"}) make_move(board, parse(m));
  EXPECT_NE(board->castle, CASTLE_BQ);
  EXPECT_EQ(is_draw(board, true, 2), 2);
}

TEST(MakeMove, HistoryLimit) {
  Board* board = setup("7k/8/8/8/8/8/8/K7 w - -");
  int made = 0;
  while (history_room(board)) {
    ASSERT_TRUE(make_move(board, parse(made % 4 < 2 ? (made % 2 ? "h8g8" : "a1b1") : (made % 2 ? "g8h8" : "b1a1"))));
    ++made;
  }
  EXPECT_EQ(made, GAME_HISTORY_LIMIT);
  // The search's room behind the game, and a clean refusal at the very end.
  while (board->thread->history_count < HISTORY_SIZE) ASSERT_TRUE(make_null(board));
  auto before = snapshot(board);
  EXPECT_FALSE(make_move(board, parse("a1b1")));
  EXPECT_FALSE(make_null(board));
  EXPECT_EQ(board_test::difference(snapshot(board), before), "");
}
