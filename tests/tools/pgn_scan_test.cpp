#include "tools/pgn_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/shared_data.h"
#include "tool_env.h"
#include "tools/epd_fields.h"
#include "tools/pgn_emit.h"

namespace {

// Game n (from 1) of the shared file. Game 1 has bare opening moves, then
// engine comments like "+0.35/12 0.1s", and is won by white in 96 plies.
std::string shared_game(int n) {
  std::string all = read_text_file(tarn_test::shared_path("pgn/games.pgn"));
  size_t at = 0;
  for (int i = 1; i < n; i++) at = all.find("[Event ", at + 1);
  return all.substr(at, all.find("[Event ", at + 1) - at);
}

// A game without any comment, with a broken move in the middle.
const char* const game_two =
    "[Event \"Bare\"]\n[Round \"2\"]\n[White \"A\"]\n[Black \"B\"]\n[Result \"1/2-1/2\"]\n\n"
    "1. d4 d5 2. c4 e6 3. Nc3 Nf6 4. Bg5 Be7 5. e3 O-O 6. Nf3 Nbd7 7. Rc1 c6\n"
    "8. Bd3 dxc4 9. Bxc4 Nd5 10. Bxe7 Qxe7 11. Zz9 O-O 1/2-1/2\n\n";

std::vector<std::string> bm_words(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    char word[64];
    epd_bm_word(line.c_str(), word, sizeof word);
    if (!line.empty()) out.push_back(word);
  }
  return out;
}

// The plies of shared game n that emit_game writes in `mode`, with every
// score replaced by its ply number (so each record's "ce" names its ply) and
// then the (ply, score) edits applied; `plies` cuts the game shorter.
std::vector<int> written_plies(int n, int mode, std::vector<std::pair<int, int>> edits = {},
                               int plies = PGN_MAX_PLIES) {
  static PgnReader reader;
  pgn_reader_start(reader);
  std::istringstream text(shared_game(n));
  for (std::string line; std::getline(text, line);)
    if (pgn_reader_line(reader, line.c_str()) != PgnLine::moves) pgn_reader_header(reader, line.c_str());
  PgnGame& game = reader.game;
  game.plies = std::min(game.plies, plies);
  for (int i = 0; i < game.plies; i++) game.scores[i] = static_cast<int16_t>(i);
  for (auto [ply, score] : edits) game.scores[ply] = static_cast<int16_t>(score);
  FILE* out = std::tmpfile();
  emit_game(game, mode, out);
  std::rewind(out);
  std::vector<int> written;
  for (char line[512]; std::fgets(line, sizeof line, out);) written.push_back(epd_centipawns(line));
  std::fclose(out);
  return written;
}

bool has(const std::vector<int>& plies, int ply) {
  return std::find(plies.begin(), plies.end(), ply) != plies.end();
}

// A limit between two plies: `inside` is written, `outside` not.
void expect_limit(const std::vector<int>& plies, int inside, int outside) {
  EXPECT_TRUE(has(plies, inside)) << inside;
  EXPECT_FALSE(has(plies, outside)) << outside;
}

}  // namespace

TEST(PgnScan, BlunderRuleOnBothSidesOfEveryLimit) {
  // Around ply i the scores stand right at every limit: the mover saw 149,
  // the opponent's scores rise by exactly 41 over one ply and 51 over three,
  // and the neighbours are 999 and 950 away from level.
  const int pattern[7] = {-950, -999, 0, 149, 41, 999, -899};
  // Ply i of a game of `plies`, the score at i + offset (-3..3, or beyond)
  // set to value, the game's result, whether ply i is a blunder.
  for (auto [i, plies, offset, value, result, blunder] : {
      std::tuple{9, 15, 0, 149, 0, true},     {9, 15, 0, -149, 0, true},   {9, 15, 0, 150, 0, false},
      {9, 15, 0, -150, 0, false},   {9, 15, 1, 40, 0, false},    {9, 15, 3, -900, 0, false},
      {9, 15, -3, -1000, 0, false}, {9, 15, 3, 1000, 0, false},  {9, 15, -2, -1000, 0, false},
      {9, 15, 2, 1000, 0, false},   {9, 15, -1, 1000, 0, false}, {9, 15, -4, -30000, 0, true},
      {9, 15, 4, 30000, 0, true},   {9, 14, 0, 149, 0, false},   {6, 15, 0, 149, 1, true},
      {5, 15, 0, 149, 0, false},    {9, 15, 0, 149, 1, false},   {9, 15, 0, 149, 2, true},
      {8, 15, 0, 149, 0, false},    {8, 15, 0, 149, 1, true}}) {
    int16_t s[20] = {};
    for (int k = -3; k <= 3; k++) s[i + k] = static_cast<int16_t>(pattern[k + 3]);
    s[i + offset] = static_cast<int16_t>(value);
    EXPECT_EQ(is_blunder(s, plies, i, result), blunder)
        << "ply " << i << " of " << plies << ", " << offset << " -> " << value << ", result " << result;
  }
}

// Each limit of the selection rules with the ply just inside and the ply just
// outside, on positions of real games where nothing else excludes either.
TEST(PgnScan, SelectionWindows) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  tool_test_setup();
  // Game 2: ply 19 is the last of the opening; 77 is 30 plies after the
  // last capture, 78 is 31. Cut to 130 plies, 124 is the sixth-last ply and
  // 125 the fifth-last.
  std::vector<int> two = written_plies(2, 2);
  expect_limit(two, 20, 19);
  expect_limit(two, 77, 78);
  expect_limit(written_plies(2, 2, {}, 130), 124, 125);
  // Game 615 (291 plies): 103 comes 20 plies after a capture or pawn move,
  // 104 after 21; plies 250 and 251 are both quiet, but 251 is past the cap.
  std::vector<int> long_game = written_plies(615, 2);
  expect_limit(long_game, 103, 104);
  expect_limit(long_game, 250, 251);
  // Mode 3 takes the first 201 plies.
  expect_limit(written_plies(615, 3), 200, 201);
  // A score beyond 900 either way ends mode 2's walk before its ply; one
  // beyond 500 is written in mode 3, then the walk ends. 900 and 500 do not.
  for (int sign : {1, -1}) {
    EXPECT_TRUE(has(written_plies(2, 2, {{50, 900 * sign}}), 51));
    EXPECT_EQ(written_plies(2, 2, {{50, 901 * sign}}).back(), 49);
    EXPECT_TRUE(has(written_plies(2, 3, {{50, 500 * sign}}), 51));
    std::vector<int> cut = written_plies(2, 3, {{50, 501 * sign}});
    EXPECT_EQ(cut.back(), 501 * sign);
    EXPECT_EQ(cut.size(), 51u);  // plies 0..50, none in check
  }
}

// The same two games through mode 2 (result-labelled positions), mode 3
// (scored positions) and mode 1 (the listing).
TEST(PgnScan, LabelledScoredAndListed) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  tool_test_setup();
  ScratchDir dir;
  write_text_file("games.pgn", shared_game(1) + game_two);
  EXPECT_EQ(scan_pgn("games.pgn", 2), 55);
  std::vector<std::string> lines = read_lines("tmp.epd");
  ASSERT_GE(lines.size(), 55u);
  lines.resize(55);
  std::vector<std::string> moves = bm_words(lines);
  // Nothing from the first 20 plies; the first record is 11. dxe4.
  EXPECT_EQ(lines.front(),
            "r1b2rk1/2p2ppp/p1p2q2/2bp4/B3n3/3P4/PPP1RPPP/RNBQ2K1 w - - bm dxe4; ce 162; c9 \"1-0\";");
  // Black to move in check after 28. Qxe5+ is left out.
  for (const std::string& move : moves) EXPECT_NE(move, "Rxe5");
  // The walk stops before 39. a5 {+9.84}: the last record is 38... Rf7.
  EXPECT_EQ(lines.back(), "8/3r2k1/1Bp3p1/8/P6p/1P1p1P1P/1P1K1P2/2R5 b - - bm Rf7; ce -573; c9 \"1-0\";");

  // Mode 3: the scored plies from 5. O-O (ply 8) on, up to and including
  // 29. Bf4 {+5.11} (ply 56), the first score past 500; Rxe5 is skipped
  // (black in check).
  int mode3 = scan_pgn("games.pgn", 3);
  lines = read_lines("tmp.epd");
  moves = bm_words(lines);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back(), "Bf4");
  EXPECT_EQ(mode3, 56 - 8 + 1 - 1);
  EXPECT_EQ(lines.front(), "r1bqkb1r/1ppp1ppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R w KQkq - bm O-O; ce 15;");

  // Mode 1: headers copied, a Tag after each Round, listing with scores from
  // white's view, empty braces for bare moves; the broken game stops at Zz9.
  scan_pgn("games.pgn", 1);
  std::string listing = read_text_file("tmp.pgn");
  for (const char* part : {"[Round \"1\"]\n[Tag \"game_1\"]\n", "[Round \"2\"]\n[Tag \"game_2\"]\n",
                           "  1.  e4      {}\n      e5      {}\n", "  5.  O-O     {  0.15}\n      Nxe4    { -0.36}\n",
                           " 10.  Bxe7    {}\n      Qxe7    {}\n\n"})
    EXPECT_NE(listing.find(part), std::string::npos) << part;
  EXPECT_EQ(listing.find("Zz9"), std::string::npos);
}

TEST(PgnScan, RookEndingsAndBadInput) {
  TARN_REQUIRE_SHARED("pgn/games.pgn");
  tool_test_setup();
  ScratchDir dir;
  // Game 145, won by white, ends in rook and pawn against rook.
  write_text_file("games.pgn", shared_game(1) + shared_game(145));
  EXPECT_EQ(scan_pgn("games.pgn", 4), 2);
  EXPECT_EQ(read_text_file("tmp.epd"),
            "2R5/1P5r/5k2/8/8/8/6K1/8 w - - bm Rc6+; ce 1119; tune 1.00000;\n"
            "8/1P5r/2R2k2/8/8/8/6K1/8 b - - bm Ke5; ce -8661; tune 0.00000;\n\n");
  // Game 252, won by black, ends in rook against rook and pawn.
  write_text_file("black.pgn", shared_game(252));
  EXPECT_EQ(scan_pgn("black.pgn", 4), 18);
  EXPECT_EQ(read_lines("tmp.epd")[0], "8/4R3/8/7K/3p4/3k2r1/8/8 w - - bm Kh4; ce -177; tune 0.00000;");

  std::string junk = "garbage line\n[Event \"x\"]\n" + std::string(10000, 'e') + "\n";
  junk += "1. e4 {never closed +1.00/3\n";
  const char binary[] = "\x00\x01\xff\xfe binary [ ] { } \n";
  junk += std::string(binary, sizeof binary - 1);
  // A comment over two lines with a nested one, and "[%" lines inside it.
  junk += "[Event \"y\"]\n1. e4 {+0.10/1\n[%clk 0:01] {x}} e5 {+0.2/1} 2. Qh5 {+0.3/2} Nc6\n";
  write_text_file("junk.pgn", junk);
  EXPECT_EQ(scan_pgn("junk.pgn", 3), 3);  // only the second game gives records
  EXPECT_EQ(read_lines("tmp.epd")[0], "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - bm e4; ce 10;");
  EXPECT_EQ(scan_pgn("missing.pgn", 2), -1);
}
