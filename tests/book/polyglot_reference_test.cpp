// A book built by the polyglot program from the shared games, read by the
// engine, against what the program's own dump and a plain reading of the
// file say.
#include <gtest/gtest.h>

#include <cmath>

#include "book/polyglot_choice.h"
#include "book/polyglot_key.h"
#include "book_test_support.h"

using namespace book_test;

namespace {

using MoveList = std::vector<std::string>;

// The moves dump-book lists with a percentage right after `prefix` (SAN
// moves from the start position), as SAN -> percent. A dump line reads
// "7: 1. e4{54%} c6 2. Nc3{37%} d5 ..." and may end in "{trans: ...}".
std::map<std::string, int> dumped_moves(const std::string& dump, const MoveList& prefix) {
  std::map<std::string, int> found;
  std::istringstream lines(dump);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string word;
    words >> word;  // "7:"
    MoveList played;
    while (words >> word && word[0] != '{') {
      if (word.back() == '.') continue;  // a move number
      size_t brace = word.find('{');
      std::string san = word.substr(0, brace);
      if (played == prefix && brace != std::string::npos) found[san] = std::stoi(word.substr(brace + 1));
      played.push_back(san);
      if (played.size() > prefix.size()) break;
    }
  }
  return found;
}

}  // namespace

TEST(PolyglotReference, MovesAndWeightsAgreeWithTheProgram) {
  TARN_REQUIRE_POLYGLOT();
  ScratchDir dir;
  settings.protocol = 2;
  ASSERT_TRUE(run_polyglot("make-book -pgn " + tarn_test::shared_path("pgn/games.pgn") + " -bin book.bin"));
  ASSERT_TRUE(run_polyglot("dump-book -bin book.bin -color white -out white.txt"));
  ASSERT_TRUE(run_polyglot("dump-book -bin book.bin -color black -out black.txt"));
  const std::string dump[2] = {read_text("white.txt"), read_text("black.txt")};  // indexed by the side
  ASSERT_EQ(polyglot_open_file("book.bin"), POLYGLOT_OK);

  // Early positions of both main first moves, and two where the book castles.
  const MoveList positions[] = {{}, {"e4"}, {"d4"}, {"e4", "c5"}, {"d4", "d5"},
                                {"e4", "c5", "Nf3", "Nc6", "Bb5", "g6"},
                                {"d4", "Nf6", "c4", "e6", "Nc3", "Bb4", "e3"}};
  for (const MoveList& prefix : positions) {
    std::string where = prefix.empty() ? "start" : prefix.back() + " after " + std::to_string(prefix.size());
    Board* board = &game_thread()->board;
    std::vector<const char*> moves;
    for (const std::string& san : prefix) moves.push_back(san.c_str());
    record_after(moves);

    PolyglotEntry entries[POLYGLOT_MAX_ENTRIES];
    PolyglotCandidate candidates[POLYGLOT_MAX_ENTRIES];
    int count = polyglot_entries(polyglot_book, polyglot_key(board), entries);
    int found = polyglot_candidates(board, entries, count, candidates);
    ASSERT_GT(found, 0) << where;
    std::vector<std::pair<std::string, int>> ours, direct;
    int total = 0;
    for (int i = 0; i < found; i++) {
      ours.push_back({text_of(candidates[i].move), candidates[i].weight});
      total += candidates[i].weight;
    }
    // The stored moves' meaning is held to the program's own dump below.
    for (auto [stored, weight] : direct_read("book.bin", polyglot_key(board)))
      direct.push_back({text_of(polyglot_move(board, stored)), weight});
    EXPECT_EQ(ours, direct) << where;

    // dump-book gives each move's share of the position, rounded.
    std::map<std::string, int> dumped, shares;
    for (auto [san, percent] : dumped_moves(dump[board->side], prefix)) {
      char text[16];
      std::snprintf(text, sizeof text, "%s", san.c_str());
      Move move = MOVE_NONE;
      ASSERT_TRUE(parse_move_on(board, text, &move)) << san;
      dumped[text_of(move)] = percent;
    }
    for (auto [text, weight] : ours) shares[text] = int(std::lround(100.0 * weight / total));
    EXPECT_EQ(shares, dumped) << where;
  }
  polyglot_close();
}
