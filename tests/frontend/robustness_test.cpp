// Bad input of every kind: the engine never crashes, never hangs and still
// answers afterwards.
#include <gtest/gtest.h>

#include <string>

#include "support/engine_process.h"
#include "support/uci_session.h"

using tarn_test::EngineProcess;
using tarn_test::exit_status;
using tarn_test::quit;
using tarn_test::ready;

// Random commands and configurations are the fuzz targets' (tests/fuzz);
// here the binary's own reading of a pipe.
TEST(BadInput, LongLinesNulBytesAndMalformedCommands) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-nolog", "-hash", "1"}));
  engine.send(std::string(10000, 'a'));
  engine.send("position startpos moves " + std::string(10000, 'e'));
  engine.send("setoption name " + std::string(10000, 'x') + " value 1");
  static const char nul_bytes[] = "isr\0eady\0\0isready\n";
  engine.send_raw(std::string(nul_bytes, sizeof nul_bytes - 1));
  EXPECT_TRUE(engine.expect_line("readyok", 10));
  engine.send_raw(std::string(3000, '\xff') + "\r\n\t");
  engine.send("");
  ASSERT_TRUE(ready(engine));
  for (const char* line :
       {"setoption name", "setoption value", "setoption value 3 name Hash", "setoption name Hash value",
        "setoption name Threads value -99999999999999999999", "setoption name MultiPV value 1e9",
        "setoption name SyzygyPath value", "setoption name Communication Overhead value --5",
        "position", "position fen", "position fen moves e2e4", "position moves e2e4",
        "position startpos moves", "position startpos moves e2e4 zz99 e7 a1a1 e1e8 h9h9 e2e4q",
        "position startpos moves e1e2 e8e7 e2e1 e7e8 d1d8", "position fen 8/8/8 w",
        "position fen ///////////////////// moves a1a2",
        "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - moves a2a4@isready",
        "go depth abc movetime -5 nodes x", "stop", "ponderhit", "   ", "\t", "uci extra words"})
    engine.send(line);
  // A game longer than the history holds is cut, not overrun; and the
  // engine still plays from a sane position after all that.
  std::string game = "position startpos moves";
  for (int i = 0; i < 300; i++) game += " g1f3 g8f6 f3g1 f6g8";
  for (const std::string& position : {game, std::string("position startpos moves e2e4")}) {
    engine.send(position);
    engine.send("go depth 3");
    EXPECT_TRUE(engine.expect_line("bestmove", 20)) << position.substr(0, 40);
  }
  EXPECT_EQ(quit(engine), 0);
}

TEST(BadInput, ConsoleJunkAndEditorAtEndOfInput) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-c", "-nolog", "-hash", "1"}));
  for (const char* line : {"level", "level x y z", "depth -5", "jump -3", "jump 99999", "perft -1",
                           "perft 0", "load", "fen", "fen x", "move", "multipv", "trace", "debug 1",
                           "bd", "debug 0", "swap", "]"})
    engine.send(line);
  engine.send("edit");
  engine.send("w K" + std::string(200, 'z'));
  engine.send("w Pa1 Pa2 Pa3 Pa4 Pa5 Pa6 Pa7 Pa8 Pb1 Pb2 Pb3 Pb4");  // more than a list holds
  engine.close_input();
  EXPECT_EQ(exit_status(engine), 0);
}
