#include "tools/pgn_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

TEST(PgnComments, Scores) {
  EXPECT_EQ(comment_score("+0.35/12 0.080s", false), 35);
  EXPECT_EQ(comment_score("-1.43/5 0.012s", true), -143);  // already the mover's view
  EXPECT_EQ(comment_score("+12.70/7", false), 1270);
  EXPECT_EQ(comment_score(" +0.20/3", false), 20);
  EXPECT_EQ(comment_score("-M5/20", false), -9000);
  EXPECT_EQ(comment_score("+M3/9", true), 9000);
  EXPECT_EQ(comment_score("book", true), 0);
  EXPECT_EQ(comment_score("out of book +1.00/3", false), 0);
  EXPECT_EQ(comment_score("0.35/12", false), PGN_BAD_SCORE);  // no sign
  EXPECT_EQ(comment_score("just a remark", false), PGN_BAD_SCORE);
  EXPECT_EQ(comment_score("", false), PGN_BAD_SCORE);
  EXPECT_EQ(comment_score("+900.00/1", false), 9999);  // held inside the record
  // "eval" values are white's view and turn round after black's moves.
  EXPECT_EQ(comment_score("eval 57, depth 9", false), 57);
  EXPECT_EQ(comment_score("eval 57, depth 9", true), -57);
  EXPECT_EQ(comment_score("eval -12", true), 12);
  EXPECT_EQ(comment_score("eval , depth 9", true), PGN_BAD_SCORE);
  EXPECT_FALSE(pgn_has_score(PGN_BAD_SCORE));
  EXPECT_FALSE(pgn_has_score(PGN_NO_SCORE));
  EXPECT_TRUE(pgn_has_score(-9000));
}

namespace {

struct Fed {
  int ready = 0;
  int headers = 0;
};

Fed feed(PgnReader& reader, const char* line) {
  Fed fed;
  PgnLine kind = pgn_reader_line(reader, line);
  if (kind == PgnLine::game_ready) {
    fed.ready = 1;
    pgn_reader_next_game(reader);
  }
  if (kind != PgnLine::moves) {
    fed.headers = 1;
    pgn_reader_header(reader, line);
  }
  return fed;
}

}  // namespace

TEST(PgnReader, HeadersMovesAndComments) {
  auto reader = std::make_unique<PgnReader>();
  pgn_reader_start(*reader);
  EXPECT_EQ(reader->game.result, 2);
  feed(*reader, "[Event \"Test\"]");
  feed(*reader, "[White \"Alpha Engine\"]");
  feed(*reader, "[Black \"Beta\"]");
  feed(*reader, "[Result \"0-1\"]");
  feed(*reader, "");
  feed(*reader, "1. e4 {+0.30/8 1s");
  EXPECT_EQ(feed(*reader, "[%clk 0:01]} e5 {-0.25/7 {nested} ").headers, 0);  // comment text
  feed(*reader, "still the comment} 2. Nf3 {book} Nc6 3.Bb5 0-1");
  EXPECT_EQ(reader->games, 1);
  EXPECT_STREQ(reader->game.white, "Alpha Engine");
  EXPECT_STREQ(reader->game.black, "Beta");
  EXPECT_EQ(reader->game.result, 1);
  ASSERT_EQ(reader->game.plies, 5);
  EXPECT_STREQ(reader->game.moves[0], "e4");
  EXPECT_STREQ(reader->game.moves[4], "Bb5");
  EXPECT_EQ(reader->game.scores[0], 30);
  EXPECT_EQ(reader->game.scores[1], -25);
  EXPECT_EQ(reader->game.scores[2], 0);
  EXPECT_EQ(reader->game.scores[3], PGN_NO_SCORE);
  // The next header hands the finished game over first.
  Fed fed = feed(*reader, "[Event \"Second\"]");
  EXPECT_EQ(fed.ready, 1);
  EXPECT_EQ(reader->games, 2);
  EXPECT_EQ(reader->game.plies, 0);
  EXPECT_EQ(reader->game.result, 1);  // kept until a new Result line
}

TEST(PgnReader, BrokenInputNeverOverrunsOrSwallowsGames) {
  auto reader = std::make_unique<PgnReader>();
  pgn_reader_start(*reader);
  feed(*reader, "[Event \"a\"]");
  std::string long_word(5000, 'Q');
  feed(*reader, ("1. " + long_word + " {" + std::string(10000, '+') + "/5}").c_str());
  ASSERT_EQ(reader->game.plies, 1);
  EXPECT_EQ(std::string(reader->game.moves[0]), std::string(11, 'Q'));
  feed(*reader, "2. d4 {unterminated +1.0/3");
  feed(*reader, "e5 still inside");
  EXPECT_EQ(reader->game.plies, 2);
  // A header ends the open comment; the next game reads normally.
  EXPECT_EQ(feed(*reader, "[Event \"b\"]").ready, 1);
  feed(*reader, "1. c4 {+0.10/2} c5");
  EXPECT_EQ(reader->game.plies, 2);
  EXPECT_EQ(reader->game.scores[0], 10);
  // More plies than the record holds are dropped, not written past its end.
  std::string many;
  for (int i = 0; i < PGN_MAX_PLIES + 50; i++) many += "Nf3 {+0.1/1} ";
  feed(*reader, many.c_str());
  EXPECT_EQ(reader->game.plies, PGN_MAX_PLIES);
  // Stray closing braces and control bytes are ignored.
  feed(*reader, "}}} \x01\x7f\xff {");
  EXPECT_EQ(reader->game.plies, PGN_MAX_PLIES);
}

TEST(PgnReader, LineReaderCutsLongLinesAndCarriageReturns) {
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::fputs("short\r\n", file);
  std::fputs((std::string(300, 'x') + "\n").c_str(), file);
  std::fputs("last", file);
  std::rewind(file);
  char line[256];
  ASSERT_TRUE(read_text_line(file, line, sizeof line));
  EXPECT_STREQ(line, "short");
  ASSERT_TRUE(read_text_line(file, line, sizeof line));
  EXPECT_EQ(std::string(line), std::string(255, 'x'));
  ASSERT_TRUE(read_text_line(file, line, sizeof line));
  EXPECT_STREQ(line, "last");
  EXPECT_FALSE(read_text_line(file, line, sizeof line));
  std::fclose(file);
}
