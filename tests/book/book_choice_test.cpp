#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "book/book_choice.h"
#include "book_test_support.h"

using namespace book_test;

namespace {

int script[3], script_next;  // the random numbers book_pick draws, in turn
int scripted() { return script[script_next++ % 3]; }
uint16_t pick(const BookCandidate* c, int n, int variety, int r0, int r1 = 0, int r2 = 0) {
  script[0] = r0, script[1] = r1, script[2] = r2, script_next = 0;
  return book_pick(c, n, 3.0, variety, scripted);
}

void save_book(std::vector<BookRecord> records) {
  std::sort(records.begin(), records.end(), [](auto& a, auto& b) { return record_order(a, b) < 0; });
  write_book("tarn.opn", records);
  load_book("tarn.opn");
}

}  // namespace

TEST(BookChoice, ThresholdsAndPicking) {
  // 8 games are never enough; a score equal to the threshold is not enough
  // either, and black needs less than white.
  double score, weight;
  for (auto [w, l, d, side, taken] :
       {std::tuple{20, 5, 5, WHITE, true}, {4, 0, 4, WHITE, false}, {5, 0, 4, WHITE, true}, {9, 11, 0, WHITE, false},
        {41, 59, 0, BLACK, false}, {9, 12, 0, BLACK, true}, {9, 12, 0, WHITE, false}})
    EXPECT_EQ(book_rating(w, l, d, side, &score, &weight), taken) << w << " " << l << " " << d << " " << side;
  book_rating(20, 5, 5, WHITE, &score, &weight);
  EXPECT_DOUBLE_EQ(weight, std::log(22.5));

  BookCandidate c[] = {{0x0C1C, 2.0}, {0x0B1B, 3.0}, {0x0A1A, 3.0}};
  for (int r : {0, 7, 12345}) {
    // Variety 1 (and below, instead of dividing by zero): the largest weight,
    // the earliest of equals. A single candidate is always taken.
    for (int variety : {1, 0, -5}) EXPECT_EQ(pick(c, 3, variety, r, r, r), 0x0B1B);
    EXPECT_EQ(pick(c, 1, 30, r), 0x0C1C);
  }
  // The random term lifts a lighter move: 2.0 + 2 * 0.29 * 3.0 beats 3.0,
  // 2.0 + 2 * 0.10 * 3.0 does not.
  EXPECT_EQ(pick(c, 3, 30, 29), 0x0C1C);
  EXPECT_EQ(pick(c, 3, 30, 10), 0x0B1B);
}

TEST(BookChoice, ChoiceFromBookFile) {
  ScratchDir dir;
  control.book_variety = 1;
  save_book({record_after({"e4"}, 20, 5, 5), record_after({"d4"}, 4, 0, 4), record_after({"c4"}, 9, 11, 0),
             record_after({"e4", "e5"}, 9, 12, 0)});
  Board* board = &game_thread()->board;
  testing::internal::CaptureStdout();
  book_choose(board, true);
  std::string listing = testing::internal::GetCapturedStdout();
  EXPECT_EQ(text_of(control.pv[1]), "e2e4");
  EXPECT_EQ(control.pv[2], 0);
  // Moves that do not qualify are listed all the same.
  EXPECT_EQ(listing,
            "c2c4       9 -    11 -     0   0.450  2.197\nd2d4       4 -     0 -     4   0.750  1.792\n"
            "e2e4      20 -     5 -     5   0.750  3.114\nbook move is e2e4\n");
  EXPECT_EQ(game_thread()->history_count, 0);
  // A search restricted to other moves never gets e4: d4 has too few games.
  RootMoves only{};
  add_root_move(only, coordinate_move("d2d4"));
  EXPECT_EQ(book_find_move(board, false, &only), 0);
  add_root_move(only, coordinate_move("e2e4"));
  EXPECT_EQ(text_of(book_find_move(board, false, &only)), "e2e4");

  // After 1.e4, which is in the book, black gets e5.
  record_after({"e4"});
  EXPECT_EQ(text_of(book_find_move(board, false)), "e7e5");
  // After 1.d4, already, the root is not in the book: no move, even though a
  // continuation is. From the start position the root need not be there.
  save_book({record_after({"d4", "Nf6"}, 30), record_after({"Nf3"}, 30)});
  record_after({"d4"});
  EXPECT_EQ(book_find_move(board, false), 0);
  game_thread();
  EXPECT_EQ(text_of(book_find_move(board, false)), "g1f3");
  // A listing in which no move qualifies names no book move.
  save_book({record_after({"d4"}, 4, 0, 4)});
  game_thread();
  testing::internal::CaptureStdout();
  EXPECT_EQ(book_find_move(board, true), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "d2d4       4 -     0 -     4   0.750  1.792\n");
}
