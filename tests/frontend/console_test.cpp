// The console command language end to end, through the real engine binary.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/engine_process.h"
#include "support/uci_session.h"

using tarn_test::EngineProcess;
using tarn_test::exchange;
using tarn_test::quit;
using tarn_test::reply;
using tarn_test::next_board;
using tarn_test::START_FEN;
using tarn_test::start_console;

namespace {

// Sends "bd" and returns the FEN line of the board it prints. Earlier
// output is drained first so that an older board is not taken for it.
std::string board_fen(EngineProcess& engine) {
  engine.read_for(0.3);
  engine.send("bd");
  return next_board(engine);
}

}  // namespace

TEST(Console, PerftTypedMovesEditorAndSettingsThenUci) {
  EngineProcess engine;
  start_console(engine);
  // Perft is no search: no time-control trace comes before its count.
  engine.read_for(0.3);
  const std::vector<std::string> lines = reply(engine, "perft 5", "visited", 60);
  ASSERT_EQ(lines.size(), 1u) << lines.front();
  EXPECT_EQ(lines[0].rfind("visited 4865609 nodes in ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(" seconds, nps= "), std::string::npos);
  exchange(engine, {{"e4", {}}, {"e5", {}}, {"perft 1", {"visited 29 nodes"}}, {"fen 8/8/8/8/8/8/8/K6k w - -", {}},
                    {"perft 1", {"visited 3 nodes"}}, {"new", {START_FEN}}}, 10);

  const char* after_nf3 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -";
  exchange(engine, {{"e4", {"1. move e4"}}, {"move e7e5", {"1. move e7e5"}}, {"Nf3", {"2. move Nf3"}}});
  engine.send("Ke3");  // not a legal move: ignored
  EXPECT_EQ(board_fen(engine), after_nf3);
  engine.send("undo");
  engine.send("[");
  EXPECT_EQ(board_fen(engine), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
  // Stepping past the recorded game does nothing; nor does "undo" at the start.
  exchange(engine, {{"]", {"1... move e7e5"}}, {"jump 0", {START_FEN}}, {"jump 3", {after_nf3}}, {"]", {}},
                    {"new", {START_FEN}}, {"undo", {}}});
  EXPECT_EQ(board_fen(engine), START_FEN);

  // The off-board square ends its line; the knight replaces the rook. King 4,
  // pawn 2, knight 2: the keys and lists were rebuilt consistently. A
  // castling right stays only with its king and rook at home.
  exchange(engine, {{"edit\n#\nw Ke1 Rh1 Ra1 Pz9 Pb2\n\nb Ke8 pd7 Na1\n.", {"4k3/3p4/8/8/8/8/8/n3K2R b K -"}},
                    {"perft 1", {"visited 8 nodes"}},
                    // No white rook is left behind the knight on d1 to guard d7 and d8.
                    {"edit\n#\nw Ke1 Rd1\nb Ke8 Nd1\n.", {"4k3/8/8/8/8/8/8/3nK3 b - -"}},
                    {"perft 1", {"visited 9 nodes"}},
                    {"edit\n#\nw Ke1 Ra1 Bh1\nb Ke8 Na8 Rh8\n.", {"n3k2r/8/8/8/8/8/8/R3K2B b Qk -"}},
                    {"edit\n#\nw Ke1 Ba1 Rh1\nb Ke8 Ra8 Nh8\n.", {"r3k2n/8/8/8/8/8/8/B3K2R b Kq -"}},
                    {"level 40 5:00 0", {"set level to 40 moves in 300.00 seconds, inc 0.00"}},
                    {"level 0 90 2.5", {"set level to 0 moves in 90.00 seconds, inc 2.50"}},
                    {"fen 4k3/8/8/8/8/8/8/R3K2R w KQkq -", {"Illegal EPD record", "4k3/8/8/8/8/8/8/R3K2R w KQ -"}},
                    // "uci" switches for good: a console word then means nothing.
                    {"uci", {"uciok"}}, {"bd", {}}, {"isready", {}}});
  EXPECT_EQ(engine.read_until("readyok", 5), std::vector<std::string>{"readyok"});
}

// "tune" brackets one parameter against "tune.epd" and reports the best
// value, leaving the parameter as it was and no search behind for the main
// loop to report; a word that merely starts with "tune" is no command. Then
// games loaded and saved, and the search trace.
TEST(Console, FilesItReadsAndWrites) {
  EngineProcess engine;
  engine.write_file("games.pgn",
                    "[Event \"one\"]\n[White \"Alpha\"]\n\n1. e4 e5 2. Nf3 *\n\n"
                    "[Event \"two\"]\n[White \"Beta\"]\n\n1.d4 {a comment 2. c4} d5 2.c4 1-0\n\n"
                    "[Event \"three\"]\n[White \"Gamma\"]\n\n1. e4 Ke7?! 2. Qh5 *\n");
  engine.write_file("tune.epd",
                    "4k3/pppp4/8/8/8/8/PPPP4/1N2K3 w - - c9 \"1-0\";\n"
                    "1n2k3/pppp4/8/8/8/8/PPPP4/4K3 b - - c9 \"0-1\";\n"
                    "4k3/pppp4/8/8/8/8/PPPP4/4K3 w - - c9 \"1/2-1/2\";\n");
  start_console(engine);
  engine.read_for(0.3);
  const std::vector<std::string> before = reply(engine, "sp", "piece values=");
  ASSERT_EQ(before.size(), 1u);
  engine.read_for(0.5);  // the rest of the listing
  const std::vector<std::string> lines = reply(engine, "tune knight_value_op", "done!", 60);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ((std::vector<std::string>{lines[0], lines[1], lines.back()}),
            (std::vector<std::string>{"", "tuning knight_value_op", "done!"}));
  EXPECT_EQ(lines[2].rfind("knight_value_op= 380, err= ", 0), 0u) << lines[2];
  EXPECT_EQ(engine.read_for(0.3), std::vector<std::string>{""});  // an empty line closes the reply
  // An unknown name, even of one letter, is still answered.
  EXPECT_EQ(reply(engine, "tune q", "done!"), std::vector<std::string>{"done!"});
  engine.send("tuned");  // read as a move, and not a legal one: nothing happens
  EXPECT_EQ(reply(engine, "sp", "piece values="), before);

  const char* game_two = "rnbqkbnr/ppp1pppp/8/3p4/2PP4/8/PP2PPPP/RNBQKBNR b KQkq c3";
  exchange(engine, {{"load games.pgn 2", {"loading games.pgn, tag 2", game_two}},
                    {"load games.pgn Beta", {game_two}},
                    // Out of range: the first game.
                    {"load games.pgn 5000", {"rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -"}},
                    {"load games.pgn Gamma",
                     {"can't parse move 'Ke7?!'", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3"}},
                    {"load missing.pgn 1", {"loading missing.pgn, tag 1"}}});

  engine.send("new");
  for (const char* move : {"e4", "e5", "Nf3", "Nc6", "Bb5", "a6", "Ba4", "Nf6", "O-O", "Be7", "Re1",
                           "b5", "Bb3"})
    engine.send(move);
  engine.send("save");
  EXPECT_EQ(board_fen(engine), "r1bqk2r/2ppbppp/p1n2n2/1p2p3/4P3/1B3N2/PPPP1PPP/RNBQR1K1 b kq -");
  EXPECT_EQ(engine.read_file("tmp.pgn"),
            "[Event \"Unknown\"]\ne4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 o-o Be7 Re1 \nb5 Bb3 \n\n");

  // Depth 4 is deep enough for null-move replies; a second search adds
  // the four promotions.
  for (const char* line : {"new", "trace 2", "go 4"}) engine.send(line);
  ASSERT_TRUE(engine.expect_line("move= ", 30));
  for (const char* line : {"fen 8/P7/8/8/8/8/8/K6k w - -", "go 2"}) engine.send(line);
  ASSERT_TRUE(engine.expect_line("move= ", 30));
  ASSERT_EQ(quit(engine), 0);
  const std::string trace = engine.read_file("trace.txt");
  // Root moves of the start position (from an odd file, to an odd square),
  // a null move, and promotions in the console's notation.
  for (const char* part : {"\n\nSEARCH DEPTH= 1\n", "\n\nSEARCH DEPTH= 2\n", ")e2e4 ", ")b1c3 ", ")g1f3 ", ")null ",
                           ")a7a8=Q ", ")a7a8=R ", ")a7a8=B ", ")a7a8=N "})
    EXPECT_NE(trace.find(part), std::string::npos) << part;
  // Root moves start a line; replies follow on the same line or on a line
  // indented by one block of nine spaces; nothing deeper appears.
  int roots = 0, replies = 0;
  std::istringstream trace_lines(trace);
  for (std::string line; std::getline(trace_lines, line);) {
    if (line.empty() || line.rfind("SEARCH", 0) == 0) continue;
    roots += line[0] == '(';
    replies += line[0] != '(';
    EXPECT_TRUE(line[0] == '(' || line.rfind("         (", 0) == 0) << line;
  }
  EXPECT_GE(roots, 20);  // every root move of the start position at depth 1
  EXPECT_GT(replies, 0);
}
