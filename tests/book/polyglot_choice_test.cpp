#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "book/book_choice.h"
#include "book/polyglot_choice.h"
#include "book/polyglot_key.h"
#include "book_test_support.h"

using namespace book_test;

namespace {

int scripted_value;
int scripted() { return scripted_value; }

}  // namespace

// Stored moves to the board's moves (castling as the king taking its rook),
// and which of them are legal here.
TEST(PolyglotChoice, StoredMovesBecomeLegalMoves) {
  settings.protocol = 2;
  const char* castle_w = "r3k2r/pppq1ppp/8/8/8/8/PPPQ1PPP/R3K2R w KQkq -";
  const char* castle_b = "r3k2r/pppq1ppp/8/8/8/8/PPPQ1PPP/R3K2R b KQkq -";
  const char* pinned = "4k3/4r3/8/8/8/8/4R3/4K3 w - -";
  const char* promote = "1n2k3/P7/8/8/8/8/8/4K3 w - -";
  // Position, stored move and promotion code, the board's move ("null" when
  // there is none), legal here.
  for (auto [fen, text, promotion, move, legal] : {
      std::tuple{castle_w, "e1h1", 0, "e1g1", true},   {castle_w, "e1a1", 0, "e1c1", true},
      {castle_b, "e8h8", 0, "e8g8", true},   {castle_b, "e8a8", 0, "e8c8", true},
      {castle_b, "e1h1", 0, "e1h1", false},  // not the mover's king
      {"4k3/8/8/8/8/8/8/K3Q3 w - -", "e1h1", 0, "e1h1", true},  // a queen on e1 just moves there
      {pinned, "e2e3", 0, "e2e3", true},     {pinned, "e2d2", 0, "e2d2", false},
      {promote, "a7a8", 4, "a7a8q", true},   {promote, "a7b8", 1, "a7b8n", true},
      {promote, "a7a8", 2, "a7a8b", true},   {promote, "a7a8", 3, "a7a8r", true},
      {promote, "a7a8", 5, "null", false},
      {promote, "a7a8", 0, "a7a8", false},   // a pawn must say what it becomes
      {START_FEN, "e2e5", 0, "e2e5", false}, {START_FEN, "a1a1", 0, "null", false}}) {  // the empty move word
    Board* board = &game_thread()->board;
    parse_fen(board, fen);
    uint16_t stored = stored_move(text, promotion);
    EXPECT_EQ(text_of(polyglot_move(board, stored)), move) << fen << " " << text;
    PolyglotEntry entry{polyglot_key(board), stored, 1, 0};
    PolyglotCandidate out[1];
    EXPECT_EQ(polyglot_candidates(board, &entry, 1, out), legal ? 1 : 0) << fen << " " << text;
  }
}

// The draw lands on each candidate in proportion to its weight: with weights
// 1, 0 and 3 the first quarter of the random range picks the first move, the
// rest the third; the weight-0 move never.
TEST(PolyglotChoice, PickIsProportionalToWeight) {
  PolyglotCandidate c[] = {{0x0C1C, 1}, {0x0B1B, 0}, {0x0A1A, 3}};
  const int quarter = int((uint64_t(RAND_MAX) + 1) / 4);
  for (auto [random, expected] : {std::pair{0, 0x0C1C}, {quarter - 1, 0x0C1C}, {quarter, 0x0A1A}, {RAND_MAX, 0x0A1A}}) {
    scripted_value = random;
    EXPECT_EQ(polyglot_pick(c, 3, scripted), expected) << random;
  }
  PolyglotCandidate zero[] = {{0x0C1C, 0}, {0x0B1B, 0}};
  for (int r : {0, RAND_MAX}) {
    scripted_value = r;
    EXPECT_EQ(polyglot_pick(zero, 2, scripted), MOVE_NONE);
    EXPECT_EQ(polyglot_pick(c, 0, scripted), MOVE_NONE);
  }
}

// Through the book's entry point: only the legal entries of the position
// are listed, and of those only the weighted ones are played, about as often
// as their weights say.
TEST(PolyglotChoice, BookMoveFromAPolyglotBook) {
  Board* board = &game_thread()->board;
  uint64_t start = polyglot_key(board);
  record_after({"e4"});
  uint64_t after_e4 = polyglot_key(board);
  std::vector<RawEntry> entries = {{start, stored_move("d2d4"), 0, 0}, {start, stored_move("e2e4"), 3, 0},
                                   {start, stored_move("e2e5"), 9, 0}, {start, stored_move("g1f3"), 1, 0},
                                   {after_e4, stored_move("e7e5"), 5, 0}};
  sort_by_key(entries);
  Bytes bytes = book_bytes(entries);
  ASSERT_EQ(polyglot_open_bytes(bytes.data(), bytes.size()), POLYGLOT_OK);

  game_thread();
  settings.protocol = 2;
  std::srand(1);
  testing::internal::CaptureStdout();
  book_choose(board, true);
  std::string listing = testing::internal::GetCapturedStdout();
  std::string chosen = text_of(control.pv[1]);
  EXPECT_EQ(listing,
            "d2d4       0     0.0%\ne2e4       3    75.0%\ng1f3       1    25.0%\nbook move is " + chosen + "\n");
  int e4 = 0, f3 = 0;
  for (int i = 0; i < 400; i++) {
    Move move = book_find_move(board, false);
    e4 += text_of(move) == "e2e4";
    f3 += text_of(move) == "g1f3";
  }
  EXPECT_EQ(e4 + f3, 400);
  EXPECT_NEAR(e4, 300, 40);
  // The draw is among the allowed moves only; d4 keeps its weight 0.
  RootMoves only{};
  for (const char* move : {"d2d4", "g1f3"}) add_root_move(only, coordinate_move(move));
  for (int i = 0; i < 20; i++) EXPECT_EQ(text_of(book_find_move(board, false, &only)), "g1f3");
  only = RootMoves{};
  add_root_move(only, coordinate_move("d2d4"));
  EXPECT_EQ(book_find_move(board, false, &only), MOVE_NONE);

  record_after({"e4"});
  EXPECT_EQ(text_of(book_find_move(board, false)), "e7e5");
  record_after({"d4"});
  EXPECT_EQ(book_find_move(board, false), MOVE_NONE);
  polyglot_close();
}
