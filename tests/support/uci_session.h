#pragma once
// The steps most tests of the UCI dialogue share, on top of the harness.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace tarn_test {

inline bool starts(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

// Starts the engine without a log and brings it into UCI mode with the
// options set ("Hash value 32"), past "uciok" and a first "readyok".
inline void open_uci(EngineProcess& engine, const std::vector<std::string>& options = {}) {
  ASSERT_TRUE(engine.start({"-nolog"}));
  engine.send("uci");
  ASSERT_TRUE(engine.expect_line("uciok"));
  for (const std::string& option : options) engine.send("setoption name " + option);
  engine.send("isready");
  ASSERT_TRUE(engine.expect_line("readyok", 10));
}

// The lines of one search, through "bestmove".
inline std::vector<std::string> search(EngineProcess& engine, const std::string& position, const std::string& go,
                                       double timeout_s = 60) {
  engine.send(position);
  engine.send(go);
  return engine.read_until("bestmove", timeout_s);
}

}  // namespace tarn_test
