#include <gtest/gtest.h>

#include "book/polyglot_key.h"
#include "book_test_support.h"

using namespace book_test;

namespace {

// The test positions of the format document: by FEN, and reached by moves
// (where the board's en-passant square is set after every double push).
struct Published {
  std::vector<const char*> moves;
  const char* fen;
  uint64_t key;
};

const Published published[] = {
    {{}, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0x463b96181691fc9cull},
    {{"e2e4"}, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 0x823c9b50fd114196ull},
    {{"e2e4", "d7d5"}, "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2", 0x0756b94461c50fb0ull},
    {{"e2e4", "d7d5", "e4e5"}, "rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 2", 0x662fafb965db29d4ull},
    {{"e2e4", "d7d5", "e4e5", "f7f5"}, "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
     0x22a48b5a8e47ff78ull},
    {{"e2e4", "d7d5", "e4e5", "f7f5", "e1e2"}, "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR b kq - 0 3",
     0x652a607ca3f242c1ull},
    {{"e2e4", "d7d5", "e4e5", "f7f5", "e1e2", "e8f7"}, "rnbq1bnr/ppp1pkpp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR w - - 0 4",
     0x00fdd303c946bdd9ull},
    {{"a2a4", "b7b5", "h2h4", "b5b4", "c2c4"}, "rnbqkbnr/p1pppppp/8/8/PpP4P/8/1P1PPPP1/RNBQKBNR b KQkq c3 0 3",
     0x3c8123ea7b067637ull},
    {{"a2a4", "b7b5", "h2h4", "b5b4", "c2c4", "b4c3", "a1a3"},
     "rnbqkbnr/p1pppppp/8/8/P6P/R1p5/1P1PPPP1/1NBQKBNR b Kkq - 0 4", 0x5c3f9b829b279560ull},
};

}  // namespace

TEST(PolyglotKey, PublishedTestPositions) {
  for (const Published& p : published) {
    Board* board = &game_thread()->board;
    record_after(p.moves);
    EXPECT_EQ(polyglot_key(board), p.key) << "after moves, " << p.fen;
    parse_fen(board, p.fen);
    EXPECT_EQ(polyglot_key(board), p.key) << p.fen;
  }
}

// The checked-in table against the document it was generated from.
TEST(PolyglotKey, TableMatchesTheFormatDocument) {
  const char* document = "/usr/share/doc/polyglot/book_format.html";
  std::string text = read_text(document);
  if (text.empty()) GTEST_SKIP() << document << " is missing (apt-get install polyglot)";
  int n = 0;
  for (size_t at = text.find("U64(0x"); at != std::string::npos; at = text.find("U64(0x", at + 1), ++n) {
    ASSERT_LT(n, POLYGLOT_RANDOM_COUNT);
    EXPECT_EQ(polyglot_random[n], std::stoull(text.substr(at + 6, 16), nullptr, 16)) << "entry " << n;
  }
  EXPECT_EQ(n, POLYGLOT_RANDOM_COUNT);
}
