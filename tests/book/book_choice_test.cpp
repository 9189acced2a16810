#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/notation.h"
#include "book/book_choice.h"
#include "book_test_support.h"

using namespace book_test;

namespace {

// Random numbers handed to book_pick, one per candidate.
int script[3];
int script_next;
int scripted() { return script[script_next++ % 3]; }
void script_all(int value) {
  script[0] = script[1] = script[2] = value;
  script_next = 0;
}

// The record of the position reached by `moves` from the start position.
BookRecord record_after(std::vector<const char*> moves, int wins, int losses, int draws) {
  Board* board = &game_thread()->board;
  for (const char* text : moves) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    Move move;
    EXPECT_EQ(parse_move_on(board, buffer, &move), 1) << text;
    make_move(board, move);
  }
  BookKey key = book_key(board);
  return BookRecord{book_target(key, board->side), key.key32, uint16_t(losses), uint16_t(wins),
                    uint16_t(draws), 0};
}

void save_sorted(std::vector<BookRecord> records) {
  std::sort(records.begin(), records.end(),
            [](const BookRecord& a, const BookRecord& b) { return record_order(a, b) < 0; });
  write_book("tarn.opn", records);
  load_book("tarn.opn");
}

}  // namespace

TEST(BookChoice, RatingThresholds) {
  double score, weight;
  EXPECT_TRUE(book_rating(20, 5, 5, WHITE, &score, &weight));
  EXPECT_DOUBLE_EQ(score, 22.5 / 30);
  EXPECT_DOUBLE_EQ(weight, std::log(22.5));
  // Eight games of wins and draws are never enough, however good.
  EXPECT_FALSE(book_rating(4, 0, 4, WHITE, &score, &weight));
  EXPECT_TRUE(book_rating(5, 0, 4, WHITE, &score, &weight));
  // A score equal to the threshold does not pass.
  EXPECT_FALSE(book_rating(9, 11, 0, WHITE, &score, &weight));
  EXPECT_FALSE(book_rating(41, 59, 0, BLACK, &score, &weight));
  // Black is content with less: 9 of 21 passes for black only.
  EXPECT_TRUE(book_rating(9, 12, 0, BLACK, &score, &weight));
  EXPECT_FALSE(book_rating(9, 12, 0, WHITE, &score, &weight));
}

TEST(BookChoice, PickingAmongCandidates) {
  BookCandidate three[] = {{0x0C1C, 2.0}, {0x0B1B, 3.0}, {0x0A1A, 3.0}};
  // Variety 1: no random term, the largest weight and the earliest of equals.
  for (int r : {0, 7, 12345}) {
    script_all(r);
    EXPECT_EQ(book_pick(three, 3, 3.0, 1, scripted), 0x0B1B);
    // Variety at or below 0 behaves like 1 instead of dividing by zero.
    EXPECT_EQ(book_pick(three, 3, 3.0, 0, scripted), 0x0B1B);
    EXPECT_EQ(book_pick(three, 3, 3.0, -5, scripted), 0x0B1B);
  }
  // A single candidate is taken whatever the random numbers.
  for (int r : {0, 29, 1000}) {
    script_all(r);
    EXPECT_EQ(book_pick(three, 1, 2.0, 30, scripted), 0x0C1C);
  }
  // With variety the random term can lift a lighter candidate:
  // 2.0 + 2 * 0.29 * 3.0 beats 3.0 + 0.
  script[0] = 29, script[1] = 0, script[2] = 0, script_next = 0;
  EXPECT_EQ(book_pick(three, 3, 3.0, 30, scripted), 0x0C1C);
  script[0] = 28, script[1] = 0, script[2] = 0, script_next = 0;
  EXPECT_EQ(book_pick(three, 3, 3.0, 30, scripted), 0x0C1C);
  script[0] = 10, script[1] = 0, script[2] = 0, script_next = 0;
  EXPECT_EQ(book_pick(three, 3, 3.0, 30, scripted), 0x0B1B);
}

TEST(BookChoice, ChoiceFromBookFile) {
  ScratchDir dir;
  control.book_variety = 1;
  std::vector<BookRecord> records = {
      record_after({"e4"}, 20, 5, 5),   // the choice
      record_after({"d4"}, 4, 0, 4),    // too few games: listed only
      record_after({"c4"}, 9, 11, 0),   // exactly the threshold: listed only
      record_after({"e4", "e5"}, 9, 12, 0),
  };
  save_sorted(records);
  Board* board = &game_thread()->board;

  testing::internal::CaptureStdout();
  book_choose(board, true);
  std::string listing = testing::internal::GetCapturedStdout();
  char e4[16];
  move_text(control.pv[1], e4);
  EXPECT_STREQ(e4, "e2e4");
  EXPECT_EQ(control.pv[2], 0);
  EXPECT_NE(listing.find("e2e4      20 -     5 -     5   0.750  3.114\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("d2d4       4 -     0 -     4   0.750  1.792\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("c2c4       9 -    11 -     0   0.450  2.197\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("book move is e2e4\n"), std::string::npos) << listing;
  EXPECT_EQ(game_thread()->history_count, 0);  // the board is left as it was

  // After 1.e4 the position itself is in the book, so black gets e5.
  record_after({"e4"}, 0, 0, 0);
  book_choose(board, false);
  char e5[16];
  move_text(control.pv[1], e5);
  EXPECT_STREQ(e5, "e7e5");

  // After 1.d4 Nf6 the root is not in the book: no move, even if a
  // continuation happens to be.
  save_sorted({record_after({"d4", "Nf6", "c4"}, 30, 0, 0)});
  record_after({"d4", "Nf6"}, 0, 0, 0);
  book_choose(board, false);
  EXPECT_EQ(control.pv[1], 0);
  // From the start position the root need not be in the book.
  save_sorted({record_after({"Nf3"}, 30, 0, 0)});
  game_thread();
  book_choose(board, false);
  EXPECT_NE(control.pv[1], 0);
}
