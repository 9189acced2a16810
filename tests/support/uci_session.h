#pragma once
// The steps most tests of the dialogue (UCI and console) share, on top of
// the harness.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "support/engine_process.h"

namespace tarn_test {

inline constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

inline bool starts(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

// The word after `key` in the line ("" when there is none); the best move
// of a best-move line is word_after(line, "bestmove").
inline std::string word_after(const std::string& line, const std::string& key) {
  const std::string spaced = " " + line + " ";
  const size_t at = spaced.find(" " + key + " ");
  if (at == std::string::npos) return "";
  const size_t start = at + key.size() + 2;
  return spaced.substr(start, spaced.find(' ', start) - start);
}

inline bool ready(EngineProcess& engine) {
  engine.send("isready");
  return engine.expect_line("readyok", 10);
}

// The exit status once the engine has left, -1000 while it still runs.
inline int exit_status(EngineProcess& engine, double timeout_s = 10) {
  int status = -1;
  return engine.wait_exit(timeout_s, &status) ? status : -1000;
}

// Sends "quit" and returns the exit status (as exit_status).
inline int quit(EngineProcess& engine) {
  engine.send("quit");
  return exit_status(engine);
}

// Sends `command` and returns the lines read until one that starts with
// `last` (included).
inline std::vector<std::string> reply(EngineProcess& engine, const std::string& command, const std::string& last,
                                      double timeout_s = 10) {
  engine.send(command);
  return engine.read_until(last, timeout_s);
}

// Builds the engine's own book ("tarn.opn") in `console`'s folder from the
// games of `pgn` through the console's "mkbook"; the engine has left after.
inline bool build_book_in_console(EngineProcess& console, const std::string& pgn) {
  console.write_file("book.pgn", pgn);
  if (!console.start({"-c"})) return false;
  console.send("mkbook");
  const bool done = console.expect_line("done", 60.0);
  console.send("quit");
  if (exit_status(console) != 0) return false;
  std::error_code error;
  std::filesystem::rename(console.directory() + "/book.opn", console.directory() + "/tarn.opn", error);
  return done && !error;
}

// Starts the engine without a log and brings it into UCI mode with the
// options set ("Hash value 32"), past "uciok" and a first "readyok".
inline void open_uci(EngineProcess& engine, const std::vector<std::string>& options = {}) {
  ASSERT_TRUE(engine.start({"-nolog"}));
  engine.send("uci");
  ASSERT_TRUE(engine.expect_line("uciok"));
  for (const std::string& option : options) engine.send("setoption name " + option);
  ASSERT_TRUE(ready(engine));
}

// Sends each command and waits, in order, for lines that start with its
// replies.
struct Exchange {
  std::string command;
  std::vector<std::string> replies;
};
inline void exchange(EngineProcess& engine, const std::vector<Exchange>& steps, double timeout_s = 5) {
  for (const Exchange& step : steps) {
    engine.send(step.command);
    for (const std::string& reply : step.replies)
      EXPECT_TRUE(engine.expect_line(reply, timeout_s)) << step.command << ": no " << reply;
  }
}

// The lines of one search, through "bestmove".
inline std::vector<std::string> search(EngineProcess& engine, const std::string& position, const std::string& go,
                                       double timeout_s = 60) {
  engine.send(position);
  engine.send(go);
  return engine.read_until("bestmove", timeout_s);
}

// The FEN line of the next board the console prints ("" when none comes).
inline std::string next_board(EngineProcess& engine) {
  std::string line;
  while (engine.expect_line("", 5, &line))
    if (line.find('/') != std::string::npos) return line;
  return "";
}

// Starts a console engine and consumes the board it prints first.
inline void start_console(EngineProcess& engine) {
  ASSERT_TRUE(engine.start({"-c", "-nolog", "-hash", "1"}));
  ASSERT_TRUE(engine.expect_line(START_FEN, 10));
  ASSERT_TRUE(engine.expect_line("white", 5));
}

}  // namespace tarn_test
