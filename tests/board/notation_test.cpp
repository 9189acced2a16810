#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board_support.h"

using board_test::setup;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

struct Texts {
  char coord[MOVE_TEXT_SIZE], san[MOVE_TEXT_SIZE], san_file[MOVE_TEXT_SIZE], san_rank[MOVE_TEXT_SIZE];
};

Texts texts_of(const Board* board, Move move) {
  Texts t;
  move_san(board, move, t.coord, t.san, t.san_file, t.san_rank);
  return t;
}

// Parses `text` in the game position; returns the move or 0.
Move parse(const char* text) {
  char buffer[MOVE_TEXT_SIZE + 1];
  std::snprintf(buffer, sizeof buffer, "%s", text);
  Move move = 0;
  return parse_move(buffer, &move) ? move : MOVE_NONE;
}

Move coordinate(int from, int to, Move flags = 0) { return static_cast<Move>(make_move_word(from, to) | flags); }

}  // namespace

TEST(Notation, EveryTextParsesBack) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  std::mt19937 rng(13);
  int checked = 0;
  for (int protocol : {0, 2}) {
    settings.protocol = static_cast<int16_t>(protocol);
    for (int round = 0; round < 120; ++round) {
      Board* board = setup(records[round % records.size()].fen.c_str());
      board_test::random_walk(board, rng, static_cast<int>(rng() % 30));
      std::vector<Move> moves = board_test::legal_moves(board);
      std::vector<Texts> all;
      for (Move move : moves) all.push_back(texts_of(board, move));
      // The short forms may name two moves at once (rooks a8 and h8 both
      // reaching b8 are both "R8b8"); the coordinate text and the SAN may not.
      auto shared = [&](size_t self, const char* text) {
        for (size_t j = 0; j < all.size(); ++j)
          if (j != self && (!std::strcmp(all[j].san_file, text) || !std::strcmp(all[j].san_rank, text))) return true;
        return false;
      };
      for (size_t i = 0; i < moves.size(); ++i) {
        const Texts& t = all[i];
        ASSERT_EQ(parse(t.coord), moves[i]) << t.coord;
        ASSERT_EQ(parse(t.san), moves[i]) << t.san;
        for (const char* text : {t.san_file, t.san_rank}) {
          ASSERT_TRUE(!*text || parse(text) == moves[i] || shared(i, text)) << text;
        }
        checked += 1;
        // "+" is optional in the input.
        std::string bare = t.san;
        if (bare.back() == '+') {
          bare.pop_back();
          ASSERT_EQ(parse(bare.c_str()), moves[i]);
        }
      }
    }
  }
  EXPECT_GT(checked, 4000);
}

TEST(Notation, CoordinateText) {
  char text[MOVE_TEXT_SIZE];
  settings.protocol = 2;
  move_text(coordinate(52, 60, PROMOTE_KNIGHT), text);
  EXPECT_STREQ(text, "e7e8n");
  move_text(0, text);
  EXPECT_STREQ(text, "null");
  settings.protocol = 0;
  move_text(coordinate(52, 60, PROMOTE_KNIGHT), text);
  EXPECT_STREQ(text, "e7e8=N");
  move_text(coordinate(12, 28), text);
  EXPECT_STREQ(text, "e2e4");

  // Both spellings of a promotion parse in both modes.
  for (int protocol : {0, 2}) {
    settings.protocol = static_cast<int16_t>(protocol);
    setup("8/4P3/8/8/8/8/k7/4K3 w - -");
    EXPECT_EQ(parse("e7e8q"), coordinate(52, 60, PROMOTE_QUEEN));
    EXPECT_EQ(parse("e7e8=R"), coordinate(52, 60, PROMOTE_ROOK));
    EXPECT_EQ(parse("e8=B"), coordinate(52, 60, PROMOTE_BISHOP));
  }
}

TEST(Notation, SanForms) {
  settings.protocol = 0;
  Board* board = setup("4k3/8/8/R7/8/8/8/RN2K1N1 w - -");
  make_move(board, parse("g1f3"));
  make_move(board, parse("e8e7"));
  EXPECT_STREQ(texts_of(board, coordinate(1, 11)).san, "Nbd2");
  EXPECT_STREQ(texts_of(board, coordinate(21, 11)).san, "Nfd2");
  EXPECT_STREQ(texts_of(board, coordinate(0, 16)).san, "R1a3");
  EXPECT_STREQ(texts_of(board, coordinate(32, 16)).san, "R5a3");
  EXPECT_STREQ(texts_of(board, coordinate(1, 18)).san, "Nc3");
  EXPECT_EQ(parse("Nbd2"), coordinate(1, 11));
  EXPECT_EQ(parse("R5a3"), coordinate(32, 16));
  CaptureStdout();
  EXPECT_EQ(parse("Nd2"), MOVE_NONE);
  EXPECT_EQ(GetCapturedStdout(), "ambiguous move\n");
  CaptureStdout();
  EXPECT_EQ(parse("Nd5"), MOVE_NONE);  // no such move: silent
  EXPECT_EQ(parse(""), MOVE_NONE);
  EXPECT_EQ(GetCapturedStdout(), "");

  // Pawn captures, en passant included, and the short form.
  board = setup("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
  Texts t = texts_of(board, coordinate(36, 43));
  EXPECT_STREQ(t.san, "exd6");
  EXPECT_STREQ(t.san_file, "ed");
  EXPECT_EQ(parse("exd6"), coordinate(36, 43));
  EXPECT_EQ(parse("ed"), coordinate(36, 43));

  // Checks are marked and found with or without "+".
  board = setup("4k3/8/8/8/8/8/8/R3K3 w - -");
  t = texts_of(board, coordinate(0, 56));
  EXPECT_STREQ(t.san, "Ra8+");
  EXPECT_STREQ(t.coord, "a1a8+");
  EXPECT_EQ(parse("Ra8"), coordinate(0, 56));
  EXPECT_EQ(parse("Ra8+"), coordinate(0, 56));
}

TEST(Notation, Castling) {
  Board* board = setup("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
  Texts t = texts_of(board, coordinate(60, 58));
  EXPECT_STREQ(t.san, "o-o-o");
  EXPECT_STREQ(t.san_file, "O-O-O");
  EXPECT_STREQ(t.san_rank, "0-0-0");
  for (const char* text : {"O-O-O", "0-0-0", "o-o-o", "e8c8"}) EXPECT_EQ(parse(text), coordinate(60, 58)) << text;
  for (const char* text : {"O-O", "0-0", "o-o"}) EXPECT_EQ(parse(text), coordinate(60, 62)) << text;
  board = setup("r3k2r/8/8/8/8/8/4R3/4K3 b kq -");  // in check: no castling at all
  for (const char* text : {"O-O-O", "0-0-0", "o-o-o", "O-O", "0-0", "o-o"}) EXPECT_EQ(parse(text), MOVE_NONE);
}
