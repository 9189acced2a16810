// The console command language end to end, through the real engine binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

using tarn_test::EngineProcess;

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// Starts a console engine and consumes the board it prints first.
void start_console(EngineProcess& engine) {
  ASSERT_TRUE(engine.start({"-c", "-nolog", "-hash", "1"}));
  ASSERT_TRUE(engine.expect_line(START, 10));
  ASSERT_TRUE(engine.expect_line("white", 5));
}

// Sends "bd" and returns the FEN line of the board it prints. Earlier
// output is drained first so that an older board is not taken for it.
std::string board_fen(EngineProcess& engine) {
  engine.read_for(0.3);
  engine.send("bd");
  std::string line;
  while (engine.expect_line("", 5, &line))
    if (line.find('/') != std::string::npos) return line;
  return "";
}

}  // namespace

TEST(Console, TypedMovesUndoRedoAndJump) {
  EngineProcess engine;
  start_console(engine);
  engine.send("e4");
  EXPECT_TRUE(engine.expect_line("1. move e4", 5));
  engine.send("move e7e5");
  EXPECT_TRUE(engine.expect_line("1. move e7e5", 5));
  engine.send("Nf3");
  EXPECT_TRUE(engine.expect_line("2. move Nf3", 5));
  engine.send("Ke3");  // not a legal move: ignored
  EXPECT_EQ(board_fen(engine), "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -");
  engine.send("undo");
  engine.send("[");
  EXPECT_EQ(board_fen(engine), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
  engine.send("]");
  EXPECT_TRUE(engine.expect_line("1... move e7e5", 5));
  engine.send("jump 0");
  EXPECT_TRUE(engine.expect_line(START, 5));
  engine.send("jump 3");
  EXPECT_TRUE(engine.expect_line("rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -", 5));
  // Stepping past the recorded game does nothing.
  engine.send("]");
  engine.send("new");
  EXPECT_TRUE(engine.expect_line(START, 5));
  engine.send("undo");  // at the start: nothing
  EXPECT_EQ(board_fen(engine), START);
}

// Perft is no search: no time-control trace comes before its count.
TEST(Console, PerftFromTheStartAndAfterMoves) {
  EngineProcess engine;
  start_console(engine);
  engine.read_for(0.3);
  engine.send("perft 5");
  std::vector<std::string> lines = engine.read_until("visited", 60);
  ASSERT_EQ(lines.size(), 1u) << lines.front();
  std::string line = lines.back();
  EXPECT_EQ(line.rfind("visited 4865609 nodes in ", 0), 0u) << line;
  EXPECT_NE(line.find(" seconds, nps= "), std::string::npos);
  engine.send("e4");
  engine.send("e5");
  engine.send("perft 1");
  ASSERT_TRUE(engine.expect_line("visited", 10, &line));
  EXPECT_EQ(line.rfind("visited 29 nodes", 0), 0u) << line;
  engine.send("fen 8/8/8/8/8/8/8/K6k w - -");
  engine.send("perft 1");
  ASSERT_TRUE(engine.expect_line("visited", 10, &line));
  EXPECT_EQ(line.rfind("visited 3 nodes", 0), 0u) << line;
}

TEST(Console, SettingsCommands) {
  EngineProcess engine;
  start_console(engine);
  engine.send("level 40 5:00 0");
  EXPECT_TRUE(engine.expect_line("set level to 40 moves in 300.00 seconds, inc 0.00", 5));
  engine.send("level 0 90 2.5");
  EXPECT_TRUE(engine.expect_line("set level to 0 moves in 90.00 seconds, inc 2.50", 5));
  engine.send("fen 4k3/8/8/8/8/8/8/R3K2R w KQkq -");
  EXPECT_TRUE(engine.expect_line("Illegal EPD record", 5));
  EXPECT_TRUE(engine.expect_line("4k3/8/8/8/8/8/8/R3K2R w KQ -", 5));
}

// "tune" brackets one parameter against "tune.epd" and reports the best
// value, leaving the parameter as it was and no search behind for the main
// loop to report; a word that merely starts with "tune" is no command.
TEST(Console, TuneBracketsOneParameterAndRestoresIt) {
  EngineProcess engine;
  engine.write_file("tune.epd",
                    "4k3/pppp4/8/8/8/8/PPPP4/1N2K3 w - - c9 \"1-0\";\n"
                    "1n2k3/pppp4/8/8/8/8/PPPP4/4K3 b - - c9 \"0-1\";\n"
                    "4k3/pppp4/8/8/8/8/PPPP4/4K3 w - - c9 \"1/2-1/2\";\n");
  start_console(engine);
  engine.read_for(0.3);
  engine.send("sp");
  std::vector<std::string> before = engine.read_until("piece values=", 10);
  ASSERT_EQ(before.size(), 1u);
  engine.read_for(0.5);  // the rest of the listing
  engine.send("tune knight_value_op");
  std::vector<std::string> lines = engine.read_until("done!", 60);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "tuning knight_value_op");
  EXPECT_EQ(lines[2].rfind("knight_value_op= 380, err= ", 0), 0u) << lines[2];
  EXPECT_EQ(lines.back(), "done!");
  EXPECT_EQ(engine.read_for(0.3), std::vector<std::string>{""});  // an empty line closes the reply
  engine.send("tune no_such_param");
  EXPECT_EQ(engine.read_until("done!", 10), std::vector<std::string>{"done!"});
  engine.send("tuned");  // read as a move, and not a legal one: nothing happens
  engine.send("sp");
  EXPECT_EQ(engine.read_until("piece values=", 10), before);
}

TEST(Console, EditorBuildsAPosition) {
  EngineProcess engine;
  start_console(engine);
  engine.send("edit");
  engine.send("#");
  engine.send("w Ke1 Rh1 Ra1 Pz9 Pb2");  // the off-board square ends the line
  engine.send("");
  engine.send("b Ke8 pd7 Na1");  // the knight replaces the rook
  engine.send(".");
  EXPECT_TRUE(engine.expect_line("4k3/3p4/8/8/8/8/8/n3K2R b K -", 5));
  // King 4, pawn 2, knight 2: the keys and lists were rebuilt consistently.
  engine.send("perft 1");
  std::string line;
  ASSERT_TRUE(engine.expect_line("visited", 10, &line));
  EXPECT_EQ(line.rfind("visited 8 nodes", 0), 0u) << line;
  // A castling right stays only with its king and rook at home.
  for (const char* edits : {"w Ke1 Ra1 Bh1\nb Ke8 Na8 Rh8", "w Ke1 Ba1 Rh1\nb Ke8 Ra8 Nh8"})
    engine.send(std::string("edit\n#\n") + edits + "\n.");
  EXPECT_TRUE(engine.expect_line("n3k2r/8/8/8/8/8/8/R3K2B b Qk -", 5));
  EXPECT_TRUE(engine.expect_line("r3k2n/8/8/8/8/8/8/B3K2R b Kq -", 5));
}

TEST(Console, LoadAndSaveGames) {
  EngineProcess engine;
  engine.write_file("games.pgn",
                    "[Event \"one\"]\n[White \"Alpha\"]\n\n1. e4 e5 2. Nf3 *\n\n"
                    "[Event \"two\"]\n[White \"Beta\"]\n\n1.d4 {a comment 2. c4} d5 2.c4 1-0\n\n"
                    "[Event \"three\"]\n[White \"Gamma\"]\n\n1. e4 Ke7?! 2. Qh5 *\n");
  start_console(engine);
  engine.send("load games.pgn 2");
  EXPECT_TRUE(engine.expect_line("loading games.pgn, tag 2", 5));
  EXPECT_TRUE(engine.expect_line("rnbqkbnr/ppp1pppp/8/3p4/2PP4/8/PP2PPPP/RNBQKBNR b KQkq c3", 5));
  engine.send("load games.pgn Beta");
  EXPECT_TRUE(engine.expect_line("rnbqkbnr/ppp1pppp/8/3p4/2PP4/8/PP2PPPP/RNBQKBNR b KQkq c3", 5));
  engine.send("load games.pgn 5000");  // out of range: the first game
  EXPECT_TRUE(engine.expect_line("rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -", 5));
  engine.send("load games.pgn Gamma");
  EXPECT_TRUE(engine.expect_line("can't parse move 'Ke7?!'", 5));
  EXPECT_TRUE(engine.expect_line("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", 5));
  engine.send("load missing.pgn 1");
  EXPECT_TRUE(engine.expect_line("loading missing.pgn, tag 1", 5));

  engine.send("new");
  for (const char* move : {"e4", "e5", "Nf3", "Nc6", "Bb5", "a6", "Ba4", "Nf6", "O-O", "Be7", "Re1",
                           "b5", "Bb3"})
    engine.send(move);
  engine.send("save");
  std::string fen = board_fen(engine);
  EXPECT_EQ(fen, "r1bqk2r/2ppbppp/p1n2n2/1p2p3/4P3/1B3N2/PPPP1PPP/RNBQR1K1 b kq -");
  EXPECT_EQ(engine.read_file("tmp.pgn"),
            "[Event \"Unknown\"]\ne4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 o-o Be7 Re1 \nb5 Bb3 \n\n");
}

TEST(Console, UciSwitchesForGood) {
  EngineProcess engine;
  start_console(engine);
  engine.send("uci");
  EXPECT_TRUE(engine.expect_line("uciok", 5));
  engine.send("bd");  // a console word means nothing to the UCI interpreter
  engine.send("isready");
  EXPECT_EQ(engine.read_until("readyok", 5), std::vector<std::string>{"readyok"});
}

TEST(Console, TraceShowsRootMovesAndReplies) {
  EngineProcess engine;
  start_console(engine);
  engine.send("trace 2");
  engine.send("go 4");  // deep enough for null-move replies
  ASSERT_TRUE(engine.expect_line("move= ", 30));
  engine.send("quit");
  ASSERT_TRUE(engine.wait_exit(10, nullptr));
  std::string trace = engine.read_file("trace.txt");
  ASSERT_NE(trace.find("\n\nSEARCH DEPTH= 1\n"), std::string::npos);
  ASSERT_NE(trace.find("\n\nSEARCH DEPTH= 2\n"), std::string::npos);
  // Root moves start a line; replies follow on the same line or on a line
  // indented by one block of nine spaces; nothing deeper appears.
  int roots = 0, replies = 0;
  size_t start = 0;
  while (start < trace.size()) {
    size_t end = trace.find('\n', start);
    if (end == std::string::npos) end = trace.size();
    std::string line = trace.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line.rfind("SEARCH", 0) == 0) continue;
    if (line[0] == '(') {
      roots++;
    } else {
      EXPECT_EQ(line.rfind("         (", 0), 0u) << line;
      EXPECT_NE(line[9], ' ') << line;
      replies++;
    }
  }
  EXPECT_GE(roots, 20);  // every root move of the start position at depth 1
  EXPECT_GT(replies, 0);
  EXPECT_NE(trace.find(")e2e4 "), std::string::npos);
  EXPECT_NE(trace.find(")null "), std::string::npos);
}
