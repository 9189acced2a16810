// The UCI dialogue end to end, through the real engine binary.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/engine_process.h"
#include "support/uci_session.h"

using tarn_test::EngineProcess;
using tarn_test::exit_status;
using tarn_test::quit;
using tarn_test::ready;
using tarn_test::reply;
using tarn_test::starts;

namespace {

// Sends a setoption line and returns the next line the engine writes.
std::string option_reply(EngineProcess& engine, const std::string& rest) {
  engine.send("setoption " + rest);
  std::string line;
  engine.expect_line("", 5, &line);
  return line;
}

// A fresh engine's answer to a position and "go depth 6": its last progress
// line without the time fields, and the best-move line. One thread searches
// reproducibly, so equal positions give equal answers.
std::string answer(const std::string& position) {
  EngineProcess engine;
  if (!engine.start({"-nolog", "-hash", "1"})) return "no engine";
  std::string last_info, words;
  for (const std::string& line : tarn_test::search(engine, position, "go depth 6", 30)) {
    if (starts(line, "info depth")) last_info = line;
    words = line;
  }
  std::istringstream in(last_info);
  for (std::string word, value; in >> word;) {
    if ((word == "time" || word == "nps") && in >> value) continue;
    words += " " + word;
  }
  return words;
}

}  // namespace

TEST(UciDialogue, PromotionLettersOfBothColours) {
  // Each letter must give the piece it names: the position reached through
  // "moves" searches exactly like the same position set up directly.
  std::set<std::string> answers;
  for (int i = 0; i < 4; i++) {
    const char letter = "qrbn"[i], piece = "QRBN"[i];
    std::string white = answer(std::string("position fen 8/1P3k2/8/8/8/8/5PPP/6K1 w - - 0 1 moves b7b8") + letter);
    std::string black = answer(std::string("position fen 6k1/5ppp/8/8/8/8/1p3K2/8 b - - 0 1 moves b2b1") + letter);
    EXPECT_EQ(white, answer(std::string("position fen 1") + piece + "6/5k2/8/8/8/8/5PPP/6K1 b - - 0 1")) << letter;
    EXPECT_EQ(black, answer(std::string("position fen 6k1/5ppp/8/8/8/8/5K2/1") + letter + "6 w - - 0 2")) << letter;
    answers.insert({white, black});
  }
  EXPECT_EQ(answers.size(), 8u);  // the four pieces play differently
}

// The budget takes the mover's clock and increment: 38 moves to go,
// divisor 39, plus inc * K / (2 inc + K). After "ucinewgame" both clocks
// are a minute and there is no increment. Under UCI this trace of a search
// start is for the log alone.
TEST(UciDialogue, ClocksAndIncrementsOfTheSideToMove) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-hash", "1"}));  // no "uci": logging stays on
  engine.send("setoption name Ponder value false");
  for (const char* go : {"go wtime 30000 btime 90000 winc 1000 binc 5000", "go"}) {
    if (go == std::string("go")) engine.send("ucinewgame");
    for (const char* position : {"position startpos", "position startpos moves e2e4"}) {
      engine.send(position);
      engine.send(go);
      engine.send("stop");
      for (const std::string& line : engine.read_until("bestmove", 10))
        EXPECT_FALSE(starts(line, "info string fen") || starts(line, "info string ply=")) << line;
    }
  }
  ASSERT_EQ(quit(engine), 0);
  const std::string log = engine.read_file("tarn.log");
  size_t at = 0;
  for (const char* trace : {"ply= 0, trg_time= 1.707 sec",  // 30/39 + 1 * 30/32
                            "fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3\ninfo string ply= 1, "
                            "trg_time= 6.808 sec",          // 90/39 + 5 * 90/100
                            "ply= 0, trg_time= 1.538 sec", "ply= 1, trg_time= 1.538 sec"}) {
    at = log.find(std::string("\ninfo string ") + trace + "\n", at);
    EXPECT_NE(at, std::string::npos) << trace << "\n" << log;
  }
}

TEST(UciDialogue, IdentificationThenNoMoreEcho) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start());
  const std::vector<std::string> expected = {
      "CMD: uci", "id name Tarn 3.50", "id author Corvin Aldane",
      "option name Hash type spin default 64 min 0 max 8192",
      "option name Threads type spin default 1 min 1 max 64",
      "option name Ponder type check default true", "option name MultiPV type spin default 1 min 1 max 255",
      "option name Clear Hash type button",
      "option name Communication Overhead type spin default 25 min 0 max 5000",
      "option name OwnBook type check default false", "option name Log type check default false",
      "option name SyzygyPath type string default ",
      "option name SyzygyProbeDepth5 type spin default 1 min 1 max 100",
      "option name SyzygyProbeDepth6 type spin default 3 min 1 max 100", "uciok"};
  EXPECT_EQ(reply(engine, "uci", "uciok"), expected);
  EXPECT_EQ(reply(engine, "isready", "readyok"), std::vector<std::string>{"readyok"});
  ASSERT_EQ(quit(engine), 0);
  // Only the dialogue before "uci" reached the log.
  std::string log = engine.read_file("tarn.log");
  EXPECT_EQ(log.find("CMD: uci\nid name Tarn 3.50\n"), 0u);
  EXPECT_EQ(log.find("readyok"), std::string::npos);
}

TEST(UciDialogue, OptionRepliesClampingAndLineSeparators) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-nolog", "-hash", "1"}));
  const std::pair<const char*, const char*> replies[] = {
      {"name Hash value 0", "Hash size set to 0M bytes"}, {"name Hash value 2", "Hash size set to 2M bytes"},
      {"name   Hash   value 3 junk", "Hash size set to 3M bytes"}, {"name Hash value abc", "Hash size set to 0M bytes"},
      {"name Threads value 0", "Threads set to 1"}, {"name MultiPV value 1000", "MultiPV set to 255"},
      {"name Communication Overhead value 99999", "Communication Overhead set to 5000"},
      {"name OwnBook value true", "OwnBook set to 1"}, {"name OwnBook value TRUE", "OwnBook set to 0"},
      {"name SyzygyProbeDepth5 value 0", "SyzygyProbeDepth5 set to 1"},
      {"name SyzygyProbeDepth6 value 500", "SyzygyProbeDepth6 set to 100"},
  };
  for (const auto& [option, reply] : replies)
    EXPECT_EQ(option_reply(engine, option), std::string("info string ") + reply) << option;
  // Malformed lines: no reply, and the engine goes on.
  for (const char* line : {"setoption", "setoption name", "setoption value 5", "setoption name Hash",
                           "setoption name NoSuchOption value 1", "setoption name Ponder value false"})
    engine.send(line);
  EXPECT_EQ(reply(engine, "isready", "readyok"), std::vector<std::string>{"readyok"});
  // The button needs no value.
  EXPECT_EQ(option_reply(engine, "name Clear Hash"), "info string Hash table cleared");
  // The log gets the commands again; the interface sees only replies.
  EXPECT_EQ(option_reply(engine, "name Log value true"), "info string Log set to 1");
  EXPECT_EQ(reply(engine, "isready", "readyok"), std::vector<std::string>{"readyok"});
  EXPECT_EQ(option_reply(engine, "name Log value false"), "info string Log set to 0");
  // The separator and several lines in one write, the last one unended.
  engine.send_raw("isready@isready\nisready\r\n\n@@\nucinewgame@isready");
  engine.close_input();
  EXPECT_EQ(engine.read_for(3), std::vector<std::string>(4, "readyok"));
  ASSERT_EQ(exit_status(engine), 0);
  EXPECT_EQ(engine.read_file("tarn.log"),
            "info string Log set to 1\nCMD: isready\nreadyok\nCMD: setoption name Log value false\n");
}

TEST(UciDialogue, SecondInstanceRunsWithoutTheLog) {
  EngineProcess first;
  ASSERT_TRUE(first.start());
  ASSERT_TRUE(ready(first));
  EngineProcess second(first.directory());
  ASSERT_TRUE(second.start());
  ASSERT_TRUE(ready(second));
  EXPECT_EQ(second.transcript(), (std::vector<std::string>{"info string log file in use", "readyok"}));
  ASSERT_TRUE(ready(second));
  ASSERT_TRUE(ready(first));
  ASSERT_EQ(quit(second), 0);
  ASSERT_EQ(quit(first), 0);
  // The first instance's dialogue alone, the second's nowhere.
  EXPECT_EQ(first.read_file("tarn.log"), "CMD: isready\nreadyok\nCMD: isready\nreadyok\nCMD: quit\n");
}

TEST(UciDialogue, ConfigurationFileAtStartUp) {
  EngineProcess engine;
  engine.write_file("tarn.rc",
                    "# probe depths\nSyzygyProbeDepth5 = 7\nSyzygyProbeDepth6 9\nLMR_depth 4\n");
  ASSERT_TRUE(engine.start({"-nolog", "-hash", "1"}));
  EXPECT_EQ(engine.read_until("info string file tarn.rc", 10),
            (std::vector<std::string>{"info string loaded parameters from tarn.rc",
                                      "info string file tarn.rc contains invalid PST"}));
  const std::vector<std::string> lines = reply(engine, "uci", "uciok");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "option name SyzygyProbeDepth5 type spin default 7 min 1 max 100");
  EXPECT_EQ(lines[lines.size() - 2], "option name SyzygyProbeDepth6 type spin default 9 min 1 max 100");
  // Castling rights without their rook: reported, as information.
  engine.send("position fen 4k3/8/8/8/8/8/8/4K3 w KQkq -");
  EXPECT_EQ(reply(engine, "isready", "readyok"),
            (std::vector<std::string>{"info string Illegal EPD record", "readyok"}));
  ASSERT_EQ(quit(engine), 0);

  // The console operator reads the same messages as they are.
  EngineProcess console(engine.directory());
  ASSERT_TRUE(console.start({"-c", "-nolog"}));
  EXPECT_EQ(console.read_until("file tarn.rc", 10),
            (std::vector<std::string>{"loaded parameters from tarn.rc", "", "file tarn.rc contains invalid PST"}));
  EXPECT_EQ(quit(console), 0);
}

// A script piped in is answered whole: at end of input each command runs in
// order (a last line without a line feed too), a search with a limit runs
// to its end, one without (a mate search too: a script cannot send "stop")
// is stopped, and every search is reported before the engine exits with
// status 0. An interface that hangs up both pipes mid-search makes the
// engine's writes fail; it still finishes and leaves the same way.
TEST(UciDialogue, PipedInputIsAnsweredBeforeTheExit) {
  struct Case {
    const char* protocol;
    std::string script;
    int reports;                        // "bestmove" lines, or console summaries
    std::vector<std::string> last;      // prefixes of the last lines
    bool hang_up = false;
  } cases[] = {
      {"-uci", "position startpos\ngo depth 8\n", 1, {"info depth 8 ", "bestmove "}},
      {"-uci", "go movetime 300\nposition startpos moves e2e4\ngo nodes 5000\n", 2, {"bestmove "}},
      {"-uci", "go infinite", 1, {"bestmove "}},
      {"-uci", "go ponder wtime 1000 btime 1000\n", 1, {"bestmove "}},
      {"-uci", "position fen k4r2/1R4pb/1pQp1n1p/3P4/5p1P/3P2P1/r1q1R2K/8 w - -\ngo mate 2\n", 1, {"bestmove "}},
      {"-c", "go 6\n", 1, {"move= ", "Hash fill= ", ""}},
      {"-c", "go\n", 1, {"move= ", "Hash fill= ", ""}},
      {"-uci", "position startpos\ngo depth 9\n", 0, {}, true},
  };
  for (const Case& c : cases) {
    EngineProcess engine;
    ASSERT_TRUE(engine.start({"-nolog", "-hash", "1", c.protocol}));
    engine.send_raw(c.script);
    if (c.hang_up) engine.close_output();
    engine.close_input();
    ASSERT_EQ(exit_status(engine, 60), 0) << c.script;
    engine.read_for(0.1);
    const std::vector<std::string>& lines = engine.transcript();
    int reports = 0;
    for (const std::string& line : lines) reports += starts(line, c.protocol[1] == 'c' ? "move= " : "bestmove ");
    EXPECT_EQ(reports, c.reports) << c.script;
    ASSERT_GE(lines.size(), c.last.size()) << c.script;
    for (size_t i = 0, first = lines.size() - c.last.size(); i < c.last.size(); ++i)
      EXPECT_TRUE(starts(lines[first + i], c.last[i])) << c.script << "line: " << lines[first + i];
  }
}

TEST(UciDialogue, QuietShowsOnlyReplies) {
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-quiet", "-hash", "1"}));
  const std::vector<std::string> lines = tarn_test::search(engine, "position startpos moves d2d4", "go depth 4", 30);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(starts(lines[0], "bestmove "));
  ASSERT_TRUE(ready(engine));
  ASSERT_EQ(quit(engine), 0);
  // The log is still created, and stays empty.
  EXPECT_TRUE(engine.file_exists("tarn.log"));
  EXPECT_EQ(engine.read_file("tarn.log"), "");
}
