#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <tuple>

#include "board/notation.h"
#include "board_support.h"

using board_test::setup;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

struct Texts {
  char coord[MOVE_TEXT_SIZE], san[MOVE_TEXT_SIZE], file[MOVE_TEXT_SIZE], rank[MOVE_TEXT_SIZE];
};

Texts texts_of(const Board* board, Move move) {
  Texts t;
  move_san(board, move, t.coord, t.san, t.file, t.rank);
  return t;
}

Move parse(std::string text) {
  char buffer[MOVE_TEXT_SIZE + 1];
  std::snprintf(buffer, sizeof buffer, "%s", text.c_str());
  Move move = 0;
  return parse_move_on(&board_test::thread()->board, buffer, &move) ? move : MOVE_NONE;
}

Move word(int from, int to, Move flags = 0) { return Move(make_move_word(from, to) | flags); }

}  // namespace

TEST(Notation, EveryTextParsesBack) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  std::mt19937 rng(13);
  int checked = 0;
  for (int round = 0; round < 240; ++round) {
    settings.protocol = round & 1 ? 2 : 0;
    Board* board = setup(records[round % records.size()].fen.c_str());
    board_test::random_walk(board, rng, int(rng() % 30));
    std::vector<Move> moves = board_test::legal_moves(board);
    std::vector<Texts> all;
    for (Move move : moves) all.push_back(texts_of(board, move));
    // A short form may name two moves at once (rooks on a8 and h8 are both
    // "R8b8"); the coordinate text and the SAN never do.
    auto shared = [&](size_t self, const char* text) {
      for (size_t j = 0; j < all.size(); ++j)
        if (j != self && (!std::strcmp(all[j].file, text) || !std::strcmp(all[j].rank, text))) return true;
      return false;
    };
    for (size_t i = 0; i < moves.size(); ++i, ++checked) {
      const Texts& t = all[i];
      ASSERT_EQ(parse(t.coord), moves[i]) << t.coord;
      ASSERT_EQ(parse(t.san), moves[i]) << t.san;
      for (const char* text : {t.file, t.rank}) {
        ASSERT_TRUE(!*text || parse(text) == moves[i] || shared(i, text)) << text;
      }
      std::string bare = t.san;  // "+" is optional in the input
      if (bare.back() == '+') {
        ASSERT_EQ(parse(bare.substr(0, bare.size() - 1)), moves[i]) << bare;
      }
    }
  }
  EXPECT_GT(checked, 4000);
}

TEST(Notation, CoordinateText) {
  // UCI's form, then the console's.
  const Move promotion = word(52, 60, PROMOTE_KNIGHT);
  for (auto [protocol, move, expected] :
       {std::tuple{2, promotion, "e7e8n"}, {2, Move(0), "null"}, {0, promotion, "e7e8=N"}}) {
    settings.protocol = protocol;
    char text[MOVE_TEXT_SIZE];
    move_text(move, text);
    EXPECT_STREQ(text, expected) << protocol;
  }
  setup("8/4P3/8/8/8/8/k7/4K3 w - -");
  EXPECT_EQ(parse("e7e8r"), word(52, 60, PROMOTE_ROOK));  // "=R" in this mode
  // A letter or digit off the board names no square, even where its
  // arithmetic would land on one ("i2" is one past h1).
  for (const char* text : {"i2h3", "`2h3", "h0h3", "h1i3", "h1h9"}) EXPECT_EQ(coordinate_move(text), MOVE_NONE) << text;
}

TEST(Notation, SanForms) {
  settings.protocol = 0;
  Board* board = setup("4k3/8/8/R7/8/5N2/8/RN2K3 w - -");
  for (auto [from, to, san] : {std::tuple{1, 11, "Nbd2"}, {21, 11, "Nfd2"}, {0, 16, "R1a3"}, {32, 16, "R5a3"}})
    EXPECT_STREQ(texts_of(board, word(from, to)).san, san);
  EXPECT_EQ(parse("Nbd2"), word(1, 11));
  CaptureStdout();
  EXPECT_EQ(parse("Nd2"), MOVE_NONE);
  EXPECT_EQ(GetCapturedStdout(), "ambiguous move\n");
  EXPECT_EQ(parse(""), MOVE_NONE);

  board = setup("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
  Texts t = texts_of(board, word(36, 43));
  EXPECT_EQ(std::string(t.san) + " " + t.file, "exd6 ed");
  EXPECT_EQ(parse("ed"), word(36, 43));

  board = setup("4k3/8/8/8/8/8/8/R3K3 w - -");
  t = texts_of(board, word(0, 56));
  EXPECT_EQ(std::string(t.san) + " " + t.coord, "Ra8+ a1a8+");
  EXPECT_EQ(parse("Ra8"), word(0, 56));

  // Castling: the short forms are the other spellings.
  board = setup("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
  t = texts_of(board, word(60, 58));
  EXPECT_EQ(std::string(t.san) + " " + t.file + " " + t.rank, "o-o-o O-O-O 0-0-0");
  for (const char* text : {"O-O-O", "0-0-0", "o-o-o", "e8c8"}) EXPECT_EQ(parse(text), word(60, 58)) << text;
  for (const char* text : {"O-O", "0-0", "o-o"}) EXPECT_EQ(parse(text), word(60, 62)) << text;
  setup("r3k2r/8/8/8/8/8/4R3/4K3 b kq -");  // in check
  for (const char* text : {"O-O-O", "0-0-0", "o-o-o", "O-O", "0-0", "o-o"}) EXPECT_EQ(parse(text), MOVE_NONE);
}
