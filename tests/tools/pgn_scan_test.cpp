#include "tools/pgn_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tool_env.h"
#include "tools/epd_fields.h"
#include "tools/pgn_emit.h"

namespace {

// A real engine game: bare opening moves, then "+0.35/12 0.1s" comments.
const char* const game_one =
    "[Event \"Engine match\"]\n[Site \"?\"]\n[Date \"2026.12.06\"]\n[Round \"1\"]\n"
    "[White \"First\"]\n[Black \"Second\"]\n[Result \"1-0\"]\n\n"
    "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O {+0.15/2 0.080s}\n"
    "Nxe4 {+0.36/1 0.002s} 6. Re1 {+1.25/8 0.073s} d5 {+0.18/1 0.002s}\n"
    "7. Nxe5 {+1.68/8 0.055s} Qf6 {+0.13/1 0.002s} 8. Nxc6 {+1.09/7 0.032s}\n"
    "bxc6 {+0.26/1 0.002s} 9. d3 {+1.74/9 0.087s} Bc5 {-1.43/5 0.012s}\n"
    "10. Re2 {+2.03/8 0.041s} O-O {-1.41/6 0.018s} 11. dxe4 {+1.62/9 0.042s}\n"
    "Bg4 {-1.18/7 0.015s} 12. Nc3 {+1.74/8 0.030s} Rfe8 {-1.28/7 0.029s}\n"
    "13. h3 {+1.54/8 0.047s} Bxe2 {-1.13/5 0.014s} 14. Qxe2 {+1.52/7 0.048s}\n"
    "Rab8 {-1.30/6 0.035s} 15. Bb3 {+1.64/7 0.042s} h5 {-1.35/5 0.024s}\n"
    "16. Bd2 {+2.09/7 0.042s} g6 {-1.61/4 0.022s} 17. Rf1 {+2.62/7 0.034s}\n"
    "a5 {-1.74/4 0.012s} 18. Qd3 {+2.92/7 0.039s} Rb4 {-1.71/5 0.019s}\n"
    "19. Qa6 {+2.94/6 0.026s} Bb6 {-1.63/5 0.025s} 20. a3 {+3.45/8 0.027s}\n"
    "Rxb3 {-2.55/5 0.012s} 21. cxb3 {+3.80/8 0.043s} d4 {-2.53/5 0.015s}\n"
    "22. Na4 {+4.64/8 0.025s} Rxe4 {-2.66/6 0.015s} 23. Nxb6 {+4.13/8 0.038s}\n"
    "cxb6 {-2.75/6 0.015s} 24. Qxb6 {+3.82/9 0.086s} Re2 {-2.90/6 0.015s}\n"
    "25. Qxa5 {+4.31/9 0.044s} Kg7 {-2.73/7 0.019s} 26. Bg5 {+4.29/7 0.040s}\n"
    "Qd6 {-2.54/7 0.034s} 27. Rb1 {+4.39/8 0.040s} Qe5 {-2.93/6 0.022s}\n"
    "28. Qxe5+ {+4.84/9 0.024s} Rxe5 {-3.18/7 0.015s} 29. Bf4 {+5.11/9 0.029s}\n"
    "Rf5 {-3.35/7 0.029s} 30. Bc7 {+5.52/9 0.047s} d3 {-3.14/8 0.024s}\n"
    "31. Rd1 {+5.82/10 0.026s} Rd5 {-3.36/8 0.024s} 32. Kf1 {+5.94/10 0.022s}\n"
    "h4 {-3.52/7 0.020s} 33. Ke1 {+6.31/9 0.038s} Rd7 {-3.71/8 0.018s}\n"
    "34. Bb6 {+7.01/9 0.026s} f6 {-4.21/8 0.024s} 35. a4 {+7.45/9 0.028s}\n"
    "f5 {-5.06/6 0.016s} 36. Kd2 {+8.00/9 0.021s} f4 {-5.53/6 0.021s}\n"
    "37. Rc1 {+8.47/9 0.037s} f3 {-5.58/6 0.017s} 38. gxf3 {+8.70/9 0.023s}\n"
    "Rf7 {-5.73/6 0.017s} 39. a5 {+9.84/8 0.039s} c5 {-6.81/5 0.027s}\n"
    "40. Bxc5 {+10.47/9 0.023s} Rd7 {-7.77/5 0.017s} 41. Rc4 {+10.54/8 0.035s}\n"
    "Kf7 {-7.25/5 0.021s} 42. Rxh4 {+11.25/8 0.041s} Rd8 {-7.80/6 0.025s}\n"
    "43. Rd4 {+11.43/7 0.019s} Ra8 {-8.28/6 0.017s} 44. b4 {+11.78/9 0.027s}\n"
    "Ke6 {-8.80/6 0.019s} 1-0\n\n";

// A game without any comment, with a broken move in the middle.
const char* const game_two =
    "[Event \"Bare\"]\n[Round \"2\"]\n[White \"A\"]\n[Black \"B\"]\n[Result \"1/2-1/2\"]\n\n"
    "1. d4 d5 2. c4 e6 3. Nc3 Nf6 4. Bg5 Be7 5. e3 O-O 6. Nf3 Nbd7 7. Rc1 c6\n"
    "8. Bd3 dxc4 9. Bxc4 Nd5 10. Bxe7 Qxe7 11. Zz9 O-O 1/2-1/2\n\n";

std::vector<std::string> words_after(const std::vector<std::string>& lines, const char* key) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    if (line.empty()) continue;  // the file's closing line feed
    char word[64];
    if (std::strcmp(key, "bm") == 0) {
      epd_bm_word(line.c_str(), word, sizeof word);
      out.push_back(word);
    }
  }
  return out;
}

}  // namespace

TEST(PgnScan, BlunderRule) {
  // Black (odd plies) thinks the game level at ply 9, yet white's own
  // scores rise by 60 over one ply and 80 over three: a blunder by the loser.
  int16_t s[16] = {0, 0, 0, 0, 0, 0, 10, -5, 20, 0, 80, -70, 100, -80, 120, -90};
  EXPECT_TRUE(is_blunder(s, 16, 9, 0));
  EXPECT_FALSE(is_blunder(s, 16, 9, 1));    // black won: the winner did not blunder
  EXPECT_TRUE(is_blunder(s, 16, 9, 2));     // a draw counts for both sides
  EXPECT_FALSE(is_blunder(s, 14, 9, 0));    // within the last five plies
  EXPECT_FALSE(is_blunder(s, 16, 5, 0));    // within the first six
  int16_t rise40[16] = {0, 0, 0, 0, 0, 0, 10, -5, 40, 0, 80, -70, 100, -80, 120, -90};
  EXPECT_FALSE(is_blunder(rise40, 16, 9, 0));  // only 40 over one ply
  int16_t unscored[16] = {0, 0, 0, 0, 0, 0, -30000, -5, 20, 0, 80, -70, 100, -80, 120, -90};
  EXPECT_FALSE(is_blunder(unscored, 16, 9, 0));
  int16_t large[16] = {0, 0, 0, 0, 0, 0, 10, -5, 20, 149, 80, -70, 100, -80, 120, -90};
  EXPECT_TRUE(is_blunder(large, 16, 9, 0));
  large[9] = 150;
  EXPECT_FALSE(is_blunder(large, 16, 9, 0));
}

TEST(PgnScan, ResultLabelledPositions) {
  tool_test_setup();
  ScratchDir dir;
  write_text_file("games.pgn", std::string(game_one) + game_two);
  EXPECT_EQ(scan_pgn("games.pgn", 2), 55);
  std::vector<std::string> lines = read_lines("tmp.epd");
  ASSERT_GE(lines.size(), 55u);
  lines.resize(55);
  std::vector<std::string> moves = words_after(lines, "bm");
  // Nothing from the first 20 plies; the first record is 11. dxe4.
  EXPECT_EQ(moves.front(), "dxe4");
  EXPECT_EQ(lines.front(),
            "r1b2rk1/2p2ppp/p1p2q2/2bp4/B3n3/3P4/PPP1RPPP/RNBQ2K1 w - - bm dxe4; ce 162; c9 \"1-0\";");
  // Black to move in check after 28. Qxe5+ is left out.
  for (const std::string& move : moves) EXPECT_NE(move, "Rxe5");
  // The walk stops before 39. a5 {+9.84}: the last record is 38... Rf7.
  EXPECT_EQ(moves.back(), "Rf7");
  EXPECT_EQ(epd_centipawns(lines.back().c_str()), -573);
  EXPECT_EQ(epd_result(lines.back().c_str()), 1.0);
  EXPECT_EQ(read_text_file("tmp.epd").back(), '\n');
}

TEST(PgnScan, ScoredPositionsAndListing) {
  tool_test_setup();
  ScratchDir dir;
  write_text_file("games.pgn", std::string(game_one) + game_two);
  // Mode 3: the scored plies from 5. O-O (ply 8) on, up to and including
  // 29. Bf4 {+5.11} (ply 56), the first score past 500; Rxe5 is skipped
  // (black in check).
  int mode3 = scan_pgn("games.pgn", 3);
  std::vector<std::string> lines = read_lines("tmp.epd");
  std::vector<std::string> moves = words_after(lines, "bm");
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.front(), "O-O");
  EXPECT_EQ(moves.back(), "Bf4");
  EXPECT_EQ(mode3, 56 - 8 + 1 - 1);
  EXPECT_EQ(lines.front(), "r1bqkb1r/1ppp1ppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R w KQkq - bm O-O; ce 15;");

  // Mode 1: headers copied, a Tag after each Round, listing with scores from
  // white's view, empty braces for bare moves; the broken game stops at Zz9.
  scan_pgn("games.pgn", 1);
  std::string listing = read_text_file("tmp.pgn");
  EXPECT_NE(listing.find("[Round \"1\"]\n[Tag \"game_1\"]\n"), std::string::npos);
  EXPECT_NE(listing.find("[Round \"2\"]\n[Tag \"game_2\"]\n"), std::string::npos);
  EXPECT_NE(listing.find("  1.  e4      {}\n      e5      {}\n"), std::string::npos);
  EXPECT_NE(listing.find("  5.  O-O     {  0.15}\n      Nxe4    { -0.36}\n"), std::string::npos);
  EXPECT_NE(listing.find(" 10.  Bxe7    {}\n      Qxe7    {}\n\n"), std::string::npos);
  EXPECT_EQ(listing.find("Zz9"), std::string::npos);
}

TEST(PgnScan, RookEndingsAndBadInput) {
  tool_test_setup();
  ScratchDir dir;
  // The game never comes down to rook and pawn against rook.
  write_text_file("games.pgn", game_one);
  EXPECT_EQ(scan_pgn("games.pgn", 4), 0);
  EXPECT_EQ(read_text_file("tmp.epd"), "\n");

  std::string junk = "garbage line\n[Event \"x\"]\n";
  junk += std::string(10000, 'e') + "\n";
  junk += "1. e4 {never closed +1.00/3\n";
  const char binary[] = "\x00\x01\xff\xfe binary [ ] { } \n";
  junk += std::string(binary, sizeof binary - 1);
  junk += "[Event \"y\"]\n1. e4 {+0.10/1} e5 {+0.2/1} 2. Qh5 {+0.3/2} Nc6\n";
  write_text_file("junk.pgn", junk);
  EXPECT_EQ(scan_pgn("junk.pgn", 3), 3);  // only the second game gives records
  EXPECT_EQ(scan_pgn("missing.pgn", 2), -1);
}
