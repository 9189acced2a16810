// Positions the engine cannot play from and illegal moves are refused with
// a message, and the engine goes on from the position it had.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/engine_process.h"
#include "support/uci_session.h"

using tarn_test::EngineProcess;
using tarn_test::exit_status;
using tarn_test::next_board;
using tarn_test::reply;
using tarn_test::START_FEN;

namespace {

// Records the engine must refuse, and the reason it gives.
const struct {
  const char* fen;
  const char* reason;
} refused[] = {
    {"4k3/8/8/8/8/8/3P4/8 w - -", "no white king"},
    {"KK6/8/8/8/8/8/8/k7 w - -", "more than one white king"},
    {"8/8/8/4k3/3P4/8/8/4K3 w - -", "black is in check with white to move"},
    {"8/8/6k1/5K2/3p4/8/8/8 w - -", "black is in check with white to move"},
    {"4k3/8/8/8/8/8/8/p3K3 b - -", "black pawn on a1"},
    {"4k3/P7/8/8/8/NNNNNNNN/NN6/2B1K3 w - -", "too many white knights"},
    {"QQQQQQQQ/Q7/8/8/8/8/P7/K6k b - -", "too many white queens"},
};

// The move of the next "bestmove" line after the search `go` starts.
std::string best_move(EngineProcess& engine, const char* go = "go depth 1") {
  engine.send(go);
  std::string line;
  return engine.expect_line("bestmove ", 20, &line) ? tarn_test::word_after(line, "bestmove") : "";
}

}  // namespace

TEST(Refusal, UciPositionKeepsTheGameItHadAndMovesStopAtTheFirstIllegalOne) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-nolog", "-hash", "1"}));
  engine.send("position startpos moves e2e4");
  // The reason alone: no word about the moves that were not played.
  for (const auto& c : refused)
    EXPECT_EQ(reply(engine, std::string("position fen ") + c.fen + " moves e1e2", "info string illegal position"),
              std::vector<std::string>{std::string("info string illegal position: ") + c.reason});
  // Without "startpos" or "fen" a line is ignored, without a word.
  for (const char* line : {"position", "position moves e7e5", "isready"}) engine.send(line);
  EXPECT_EQ(engine.read_until("readyok", 5), std::vector<std::string>{"readyok"});
  engine.send("position fen");
  EXPECT_TRUE(engine.expect_line("info string illegal position: no white king", 5));
  std::string move = best_move(engine);  // black to move, after 1.e4
  ASSERT_EQ(move.size(), 4u);
  EXPECT_TRUE(move[1] == '7' || move[1] == '8') << move;

  // Out-of-range numbers: no iteration, yet a legal move.
  engine.send("position startpos");
  move = best_move(engine, "go depth -300 nodes -5 movestogo 99999999999 wtime 1e400");
  EXPECT_TRUE(move.size() == 4 && (move[1] == '1' || move[1] == '2')) << move;

  // The moves of "position" are played while they are legal; the side to
  // move shows in the origin of the next best move.
  const char* white_origins = "a2 b2 c2 d2 f2 g2 h2 b1 g1 d1 e1 f1";
  // The command, its first illegal move (empty when every move is legal),
  // and the origin squares the engine may then move from.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"position startpos moves e2e4 e7e5 g1f3", "", "a7 b7 c7 d7 f7 g7 h7 b8 g8 d8 e8 f8"},
      {"position fen 7k/8/8/8/8/8/5q2/K7 w - - 0 1 moves a1b1 f2e2", "", "b1"},
      // The king's two-file step that once was played as castling.
      {"position fen 8/8/8/2k5/2pP4/8/B7/4K3 b - d3 moves c5e5", "c5e5", "c5 c4"},
      {"position startpos moves e2e4 e7e5 e1g1 g1f3", "e1g1", white_origins},
      {"position startpos moves e2e4 e7e5 e1e8", "e1e8", white_origins},
      {"position fen 2k5/P7/8/8/8/8/8/4K3 w - - moves a7a8", "a7a8", "a7 e1"},
      {"position fen 2k5/P7/8/8/8/8/8/4K3 w - - moves a7a8q c8d7 e1e2 e1e2 d7d6", "e1e2", "d7"},
  };
  for (const auto& [command, illegal, next_from] : cases) {
    engine.send(command);
    std::string move = best_move(engine);
    const std::vector<std::string>& lines = engine.transcript();
    const std::string message = std::string("info string illegal move: ") + illegal;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), message), *illegal ? 1 : 0) << command;
    EXPECT_NE(std::string(next_from).find(move.substr(0, 2)), std::string::npos) << command << ": " << move;
  }
}

TEST(Refusal, ConsoleFenGetEditAndReplayKeepThePosition) {
  EngineProcess engine;
  std::string test_epd;
  for (const auto& c : refused) test_epd += std::string(c.fen) + " id \"" + std::to_string(&c - refused) + "\";\n";
  engine.write_file("test.epd", test_epd);
  tarn_test::start_console(engine);
  std::vector<std::pair<std::string, std::string>> attempts = {{"edit\n#\nw Ke1 Pa1\nb Ke8\n.", "white pawn on a1"}};
  for (const auto& c : refused) {
    attempts.push_back({std::string("fen ") + c.fen, c.reason});
    attempts.push_back({"get " + std::to_string(&c - refused), c.reason});
  }
  for (const auto& [command, reason] : attempts) {
    engine.send(command);
    EXPECT_TRUE(engine.expect_line("illegal position: " + reason, 5)) << command;
    EXPECT_EQ(next_board(engine), START_FEN) << command;
  }

  // A promotion to a tenth knight leaves every other list alone.
  engine.send("fen 4k3/P7/8/8/8/NNNNNNNN/N7/2B1K3 w - -");
  next_board(engine);
  engine.send("a7a8=N");
  EXPECT_EQ(next_board(engine), "N3k3/8/8/8/8/NNNNNNNN/N7/2B1K3 b - -");
  engine.send("ev");
  engine.send("bd");
  EXPECT_EQ(next_board(engine), "N3k3/8/8/8/8/NNNNNNNN/N7/2B1K3 b - -");

  // Stepping through the game record replays only moves that are legal
  // where they are replayed: a record of an abandoned line may not be.
  for (const char* line : {"new", "e4", "e5", "Qh5", "undo", "undo", "undo", "d4"}) engine.send(line);
  engine.read_for(0.5);
  engine.send("jump 3");
  EXPECT_EQ(next_board(engine), "rnbqkbnr/pppp1ppp/8/4p3/3P4/8/PPP1PPPP/RNBQKBNR w KQkq e6");
  for (const char* line : {"]", "move Qh5", "e2e5", "bd"}) engine.send(line);
  EXPECT_EQ(next_board(engine), "rnbqkbnr/pppp1ppp/8/4p3/3P4/8/PPP1PPPP/RNBQKBNR w KQkq e6");
}

TEST(Refusal, EpdAnalysisCountsOnlyPlayableRecords) {
  EngineProcess engine;
  std::string records = "r6k/1P4pp/8/8/8/8/RRRRRRRR/R2QK3 w - - bm b8=Q;\n";  // nine rooks and a pawn
  for (const auto& c : refused) records += std::string(c.fen) + " bm e4;\n";
  engine.write_file("f.epd", records);
  ASSERT_TRUE(engine.start({"-nolog", "-d", "1", "-anepd", "f.epd"}));
  ASSERT_TRUE(engine.expect_line("total nodes", 30));
  const std::vector<std::string>& lines = engine.transcript();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find(" / 1 correct best moves") != std::string::npos;
  }));
  EXPECT_EQ(exit_status(engine, 30), 0);
}
