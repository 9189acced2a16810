#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "board/makemove.h"
#include "board/notation.h"
#include "book/book_build.h"
#include "book/book_merge.h"
#include "book_test_support.h"
#include "support/shared_data.h"

using namespace book_test;

namespace {

using Key = std::pair<uint16_t, uint32_t>;
struct Counts {
  int wins = 0, losses = 0, draws = 0;
};

std::map<Key, Counts> book_contents(const char* name) {
  std::map<Key, Counts> contents;
  for (const BookRecord& r : read_book(name)) contents[{r.key16, r.key32}] = {r.wins, r.losses, r.draws};
  return contents;
}

// Keys of the positions reached by `moves` from the start position.
Key key_after(std::vector<const char*> moves) {
  Board* board = &game_thread()->board;
  for (const char* text : moves) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    Move move = 0;
    EXPECT_EQ(parse_move_on(board, buffer, &move), 1) << text;
    make_move(board, move);
  }
  BookKey key = book_key(board);
  return {book_target(key, board->side), key.key32};
}

std::string repeat(const std::string& game, int times) {
  std::string text;
  for (int i = 0; i < times; i++) text += game;
  return text;
}

std::string game(const char* result, const std::string& moves) {
  return std::string("[Event \"t\"]\n[Result \"") + result + "\"]\n\n" + moves + "\n\n";
}

void build(const std::string& pgn) {
  write_text("book.pgn", pgn);
  testing::internal::CaptureStdout();
  book_build(&game_thread()->board);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("done"), std::string::npos);
}

// An independent reading of well-formed games: result from the tag, brace
// comments removed, move numbers and results skipped, the first 50 plies
// counted for the player who moved into each position.
std::map<Key, Counts> replay(const std::string& path) {
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  std::map<Key, Counts> counts;
  size_t at = 0;
  while ((at = text.find("[Result \"", at)) != std::string::npos) {
    std::string result = text.substr(at + 9, 3);
    size_t moves = text.find("\n\n", at);
    size_t end = text.find("[Event", moves);
    std::string body = text.substr(moves, end == std::string::npos ? std::string::npos : end - moves);
    at = moves;
    std::string plain;
    int depth = 0;
    for (char c : body) {
      if (c == '{') depth++;
      else if (c == '}') depth--;
      else if (depth == 0) plain += c;
    }
    SearchThread* thread = game_thread();
    Board* board = &thread->board;
    std::istringstream words(plain);
    std::string word;
    while (words >> word && thread->history_count < 50) {
      size_t dot = word.rfind('.');
      if (dot != std::string::npos) word = word.substr(dot + 1);
      if (word.empty() || word == "1-0" || word == "0-1" || word == "1/2-1/2" || word == "*") continue;
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%s", word.c_str());
      Move move = 0;
      if (!parse_move_on(board, buffer, &move)) break;
      make_move(board, move);
      BookKey key = book_key(board);
      Counts& c = counts[{book_target(key, board->side), key.key32}];
      if (result == "1/2" || result.substr(0, 1) == "*") c.draws++;
      else if ((result == "1-0") == (board->side == BLACK)) c.wins++;
      else c.losses++;
    }
  }
  for (auto it = counts.begin(); it != counts.end();) {
    const Counts& c = it->second;
    it = c.wins + c.losses + c.draws < 9 ? counts.erase(it) : std::next(it);
  }
  return counts;
}

}  // namespace

TEST(PgnToken, SplitsLikeTheGameText) {
  char line[] = "12.Nf3 {a\tb}(1...e5)  $14 \x01Qx\xC3\xA9h7+";
  PgnCursor cursor{line};
  char token[64];
  std::vector<std::string> tokens;
  while (pgn_token(cursor, token, sizeof token)) tokens.push_back(token);
  std::vector<std::string> expected = {"12.Nf3", "{", "ab", "}", "(", "1...e5", ")", "$14", "Qxh7+"};
  EXPECT_EQ(tokens, expected);
  EXPECT_STREQ(pgn_move_text("12.Nf3"), "Nf3");
  EXPECT_STREQ(pgn_move_text("1...e5"), "e5");
  EXPECT_STREQ(pgn_move_text("3.0-0-0"), "0-0-0");
  EXPECT_EQ(pgn_move_text("1-0"), nullptr);
  EXPECT_EQ(pgn_move_text("1/2-1/2"), nullptr);
  EXPECT_EQ(pgn_move_text("14."), nullptr);
}

TEST(BookBuild, CountsOfCraftedGames) {
  ScratchDir dir;
  std::string pgn =
      repeat(game("1-0", "1. e4 {the reply d5 is not played} e5 (1... c5 2. Nf3) 2. Nf3 $1 Nc6 1-0"), 9) +
      repeat(game("1/2-1/2", "1. d4 d5 1/2-1/2"), 8) + game("*", "1. d4 Nf6 *") +
      // An illegal second move ends only its own game.
      repeat(game("0-1", "1. c4 Qxh7 2. Nf3 0-1"), 9);
  build(pgn);
  auto book = book_contents("book.opn");
  Counts e4 = book[key_after({"e4"})], e5 = book[key_after({"e4", "e5"})];
  EXPECT_EQ(e4.wins, 9);
  EXPECT_EQ(e5.losses, 9);  // white, to move after e5, won
  EXPECT_EQ(book[key_after({"e4", "e5", "Nf3", "Nc6"})].losses, 9);
  Counts d4 = book[key_after({"d4"})];
  EXPECT_EQ(d4.draws, 9);  // "*" counts as a draw
  Counts c4 = book[key_after({"c4"})];
  EXPECT_EQ(c4.losses, 9);
  EXPECT_EQ(c4.wins, 0);
  // Comments, variations, 8-game positions and moves after an illegal one
  // are absent, so exactly these six remain.
  auto fresh = book_contents("book.opn");
  EXPECT_EQ(fresh.size(), 6u);
  EXPECT_EQ(fresh.count(key_after({"e4", "d5"})), 0u);
  EXPECT_EQ(fresh.count(key_after({"e4", "c5"})), 0u);
  EXPECT_EQ(fresh.count(key_after({"d4", "d5"})), 0u);
  EXPECT_FALSE(std::filesystem::exists("tmp.opn"));
  EXPECT_FALSE(std::filesystem::exists("tmp__0.opn"));
}

TEST(BookBuild, FiftyPlyLimit) {
  ScratchDir dir;
  std::string shuffle;
  for (int i = 0; i < 12; i++) shuffle += "Nf3 Nf6 Ng1 Ng8 ";
  build(repeat(game("1-0", "1. " + shuffle + "Nf3 Nf6 e4 e5 1-0"), 9));
  auto book = book_contents("book.opn");
  // Plies 2, 6, ..., 50 reach the same position: 13 times in each game.
  EXPECT_EQ(book[key_after({"Nf3", "Nf6"})].losses, 13 * 9);
  EXPECT_EQ(book.count(key_after({"Nf3", "Nf6", "e4"})), 0u);
}

TEST(BookBuild, HostileInputStillBuilds) {
  ScratchDir dir;
  std::mt19937 random(7);
  std::string junk;
  for (int i = 0; i < 20000; i++) junk += char(random() % 256);
  std::string pgn = junk + "\n" + game("1-0", "1. e4 { never closed e5 2. Nf3") +
                    game("1-0", std::string(10000, 'e') + "4 " + std::string(10000, ' ') + "Nf3") +
                    repeat(game("1-0", "1. Nc3 1-0"), 9) +
                    "[Event \"no result\"]\n\n1. Nc3 Nf6 2. Nb1\n\n" + junk;
  // A leftover work file of an interrupted build is not merged in.
  write_book("tmp.opn", {BookRecord{0x8000, 1, 0, 50, 0, 0}});
  build(pgn);
  auto book = book_contents("book.opn");
  EXPECT_EQ(book[key_after({"Nc3"})].wins, 9);
  EXPECT_EQ(book.count({0x8000, 1}), 0u);
  EXPECT_EQ(book.count(key_after({"Nc3", "Nf6"})), 0u);
}

TEST(BookBuild, FlushesAndMergesAddUp) {
  ScratchDir dir;
  // 5300 games cross 26 flushes and one merge; every count must survive.
  build(repeat(game("1/2-1/2", "1. e4 e5 1/2-1/2"), 2650) + repeat(game("0-1", "1. e4 c5 0-1"), 2650));
  auto book = book_contents("book.opn");
  EXPECT_EQ(book[key_after({"e4"})].draws, 2650);
  EXPECT_EQ(book[key_after({"e4"})].losses, 2650);
  EXPECT_EQ(book[key_after({"e4", "c5"})].wins, 2650);
  EXPECT_EQ(book.size(), 3u);
}

TEST(BookMerge, SumsAreCappedAndEveryRecordWrittenOnce) {
  ScratchDir dir;
  std::vector<BookRecord> a = {{0x9000, 5, 59999, 10, 0, 0}, {0x8000, 9, 1, 1, 1, 0}, {0x0100, 3, 0, 0, 1, 0}};
  std::vector<BookRecord> b = {{0x9000, 6, 0, 0, 2, 0}, {0x9000, 5, 5, 60000, 0, 0}, {0x0100, 2, 0, 7, 0, 0}};
  write_book("a.opn", a);
  FILE* in = std::fopen("a.opn", "rb");
  FILE* out = std::fopen("out.opn", "wb");
  RecordSource first = source_of_file(in);
  RecordSource second = source_of_array(b.data(), int32_t(b.size()));
  EXPECT_TRUE(merge_records(first, second, out));
  std::fclose(in);
  std::fclose(out);
  auto merged = read_book("out.opn");
  ASSERT_EQ(merged.size(), 5u);
  std::vector<Key> order;
  for (const BookRecord& r : merged) order.push_back({r.key16, r.key32});
  std::vector<Key> expected = {{0x9000, 6}, {0x9000, 5}, {0x8000, 9}, {0x0100, 3}, {0x0100, 2}};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(merged[1].losses, 60000);
  EXPECT_EQ(merged[1].wins, 60000);
}

TEST(BookBuild, SharedGamesMatchAnIndependentReplay) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  ScratchDir dir;
  std::filesystem::copy_file(tarn_test::shared_path("pgn/games.pgn"), "book.pgn");
  testing::internal::CaptureStdout();
  book_build(&game_thread()->board);
  testing::internal::GetCapturedStdout();
  auto built = book_contents("book.opn");
  auto expected = replay("book.pgn");
  EXPECT_GT(built.size(), 500u);
  EXPECT_EQ(built.size(), expected.size());
  int differences = 0;
  for (const auto& [key, c] : expected) {
    auto it = built.find(key);
    if (it == built.end() || it->second.wins != c.wins || it->second.losses != c.losses ||
        it->second.draws != c.draws)
      differences++;
  }
  EXPECT_EQ(differences, 0);
}

// More than 60000 games of one opening, through 300 flushes and 12 merges.
TEST(BookBuild, CountersStopAt60000) {
  ScratchDir dir;
  build(repeat(game("1-0", "1. e4 e5 1-0"), 60005));
  auto book = book_contents("book.opn");
  EXPECT_EQ(book[key_after({"e4"})].wins, 60000);
  EXPECT_EQ(book[key_after({"e4", "e5"})].losses, 60000);
}
