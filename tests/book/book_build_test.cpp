#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "book/book_build.h"
#include "book_test_support.h"

using namespace book_test;

namespace {

using Key = std::pair<uint16_t, uint32_t>;
using Contents = std::map<Key, std::array<int, 3>>;  // wins, losses, draws

Contents contents(const char* name) {
  Contents book;
  BookRecord r;
  if (FILE* f = std::fopen(name, "rb")) {
    while (read_record(f, &r)) book[{r.key16, r.key32}] = {r.wins, r.losses, r.draws};
    std::fclose(f);
  }
  return book;
}

std::array<int, 3> counts(const Contents& book, std::vector<const char*> moves) {
  BookRecord r = record_after(moves);
  auto it = book.find({r.key16, r.key32});
  return it == book.end() ? std::array<int, 3>{-1, -1, -1} : it->second;
}

// Each with a tag after the result tag, as most files have.
std::string games(int times, const char* result, const std::string& moves) {
  std::string one = std::string("[Event \"t\"]\n[Result \"") + result + "\"]\n[ECO \"A00\"]\n\n" + moves + "\n\n", all;
  for (int i = 0; i < times; i++) all += one;
  return all;
}

void build(const std::string& pgn) {
  write_file("book.pgn", pgn);
  testing::internal::CaptureStdout();
  book_build(&game_thread()->board);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("done"), std::string::npos);
}

// An independent reading of well-formed games: brace comments dropped, move
// numbers and results skipped, the first 50 plies counted for the player who
// moved into each position, then positions of fewer than 9 games dropped.
Contents replay(const std::string& path) {
  std::string text = read_text(path);
  Contents book;
  for (size_t at = 0; (at = text.find("[Result \"", at)) != std::string::npos;) {
    char result = text[at + 10];  // '-' for 1-0 and 0-1, '/' for a draw
    bool white_won = text[at + 9] == '1' && result == '-';
    size_t start = text.find("\n\n", at), end = text.find("[Event", start);
    std::string plain;
    int depth = 0;
    for (char c : text.substr(start, end == std::string::npos ? end : end - start)) {
      depth += (c == '{') - (c == '}');
      if (depth == 0 && c != '}') plain += c;
    }
    at = start;
    BoardThread* thread = game_thread();
    std::istringstream words(plain);
    std::string word;
    while (words >> word && thread->history_count < 50) {
      word = word.substr(word.rfind('.') + 1);
      char move_text[32];
      std::snprintf(move_text, sizeof move_text, "%s", word.c_str());
      Move move = 0;
      if (word.empty() || word == "1-0" || word == "1/2-1/2") continue;
      if (!parse_move_on(&thread->board, move_text, &move)) break;
      make_move(&thread->board, move);
      BookKey key = book_key(&thread->board);
      auto& c = book[{book_target(key, thread->board.side), key.key32}];
      c[result != '-' ? 2 : white_won == (thread->board.side == BLACK) ? 0 : 1]++;
    }
  }
  std::erase_if(book, [](const auto& entry) { return entry.second[0] + entry.second[1] + entry.second[2] < 9; });
  return book;
}

}  // namespace

TEST(BookBuild, CountsOfCraftedGames) {
  ScratchDir dir;
  std::string shuffle;  // back to the start position every four plies
  for (int i = 0; i < 12; i++) shuffle += "Nf3 Nf6 Ng1 Ng8 ";
  build(games(9, "1-0", "1. e4 {d5 is not played} e5 (1... c5 2. Nf3) 2. Nf3 $1 Nc6 1-0") +
        games(8, "1/2-1/2", "1. d4 d5 1/2-1/2") + games(1, "*", "1. d4 Nf6 *") +
        games(9, "0-1", "1. c4 Qxh7 2. Nf3 0-1") +  // an illegal move ends its game
        games(9, "1-0", "1. " + shuffle + "Nf3 Nf6 e4 e5 1-0"));
  Contents book = contents("book.opn");
  using C = std::array<int, 3>;
  EXPECT_EQ(counts(book, {"e4"}), (C{9, 0, 0}));
  EXPECT_EQ(counts(book, {"e4", "e5"}), (C{0, 9, 0}));  // white, to move there, won
  EXPECT_EQ(counts(book, {"e4", "e5", "Nf3", "Nc6"}), (C{0, 9, 0}));
  EXPECT_EQ(counts(book, {"d4"}), (C{0, 0, 9}));        // "*" counts as a draw
  EXPECT_EQ(counts(book, {"c4"}), (C{0, 9, 0}));
  EXPECT_EQ(counts(book, {"Nf3", "Nf6"}), (C{0, 13 * 9, 0}));  // plies 2, 6, ..., 50 of each game
  EXPECT_EQ(counts(book, {}), (C{0, 12 * 9, 0}));
  EXPECT_EQ(counts(book, {"Nf3", "Nf6", "e4"})[0], -1);  // ply 51
  // With e4 e5 Nf3 and the shuffle's four: no comment, variation or 8-game position.
  EXPECT_EQ(book.size(), 10u);
  EXPECT_FALSE(std::filesystem::exists("tmp.opn") || std::filesystem::exists("tmp__0.opn"));  // work files
}

TEST(BookBuild, HostileInputStillBuilds) {
  ScratchDir dir;
  std::mt19937 random(7);
  std::string junk;
  for (int i = 0; i < 20000; i++) junk += char(random() % 256);
  // A leftover work file of an interrupted build is not merged in.
  write_book("tmp.opn", {BookRecord{0x8000, 1, 0, 50, 0, 0}});
  build(junk + "\n" + games(1, "1-0", "1. e4 { never closed e5 2. Nf3") +
        games(1, "1-0", std::string(10000, 'e') + "4 " + std::string(10000, ' ') + "Nf3") +
        games(9, "1-0", "1. Nc3 1-0") + "[Event \"no result tag\"]\n\n1. Nc3 Nf6 2. Nb1\n\n" + junk);
  Contents book = contents("book.opn");
  EXPECT_EQ(counts(book, {"Nc3"})[0], 9);
  EXPECT_EQ(book.size(), 1u);
}

// Work files that cannot be written (folders hold their names) lose the
// counts, but the build still ends.
TEST(BookBuild, UnwritableWorkFiles) {
  ScratchDir dir;
  std::filesystem::create_directories("tmp__0.opn/kept");
  std::filesystem::create_directories("tmp.opn/kept");
  build(games(9, "1-0", "1. e4 1-0"));
  EXPECT_TRUE(contents("book.opn").empty());
}

TEST(BookBuild, CountersStopAt60000) {
  ScratchDir dir;  // through 300 flushes and 12 merges
  build(games(60005, "1-0", "1. e4 e5 1-0") + games(100, "0-1", "1. e4 c5"));
  Contents book = contents("book.opn");
  EXPECT_EQ(counts(book, {"e4"}), (std::array<int, 3>{60000, 100, 0}));
  EXPECT_EQ(counts(book, {"e4", "c5"})[0], 100);
}

TEST(BookBuild, SharedGamesMatchAnIndependentReplay) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  ScratchDir dir;
  build(read_text(tarn_test::shared_path("pgn/games.pgn")));
  Contents built = contents("book.opn");
  EXPECT_GT(built.size(), 500u);
  EXPECT_TRUE(built == replay("book.pgn"));
}
