#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/engine_state.h"
#include "frontend/command_line.h"
#include "frontend/console.h"
#include "frontend/startup.h"

namespace {

CommandLine parse(std::vector<const char*> args) {
  set_default_settings();
  args.insert(args.begin(), "tarn");
  CommandLine line;
  parse_command_line(static_cast<int>(args.size()), args.data(), &line);
  return line;
}

}  // namespace

TEST(CommandLine, CountsAreClampedToTheirRanges) {
  for (auto [threads, hash, threads_set, hash_set] : {std::tuple{"0", "10000", 1, 8192}, {"100", "-5", 64, 0},
                                                       {"abc", "99999999999999999999", 1, 8192}}) {
    parse({"-threads", threads, "-hash", hash});
    EXPECT_EQ(control.threads, threads_set) << threads;
    EXPECT_EQ(control.hash_mb, hash_set) << hash;
  }
  parse({"-n", "5000"});
  EXPECT_EQ(control.node_limit, 5000);
  EXPECT_EQ(control.level_time, 1000.0);
  parse({"-t", "2.5"});
  EXPECT_EQ(control.level_time, 2.5);
}

// Depth 0 is a limit of its own (the static evaluation); only depths above
// 66 are lowered. The console's "depth" and "trace" follow the same words.
TEST(CommandLine, DepthAndTraceLimits) {
  const std::pair<const char*, int> depths[] = {{"80", 66}, {"66", 66}, {"1", 1}, {"0", 0}, {"-4", 0}, {"x", 0}};
  for (const auto& [text, depth] : depths) {
    parse({"-d", text});
    EXPECT_EQ((std::tuple<int, int, double>(control.max_depth, control.level_moves, control.level_time)),
              std::tuple(depth, 1, 10000.0)) << "-d " << text;
    control.max_depth = 30;
    std::string command = std::string("depth ") + text;
    console_command(command.data());
    EXPECT_EQ(control.max_depth, depth) << command;
  }
  // The trace depth is any ply; plies the search never reaches trace nothing.
  const std::pair<std::string, int> traces[] = {{"2", 2}, {"100", 100}, {"0", 0}, {"70000", 65535}, {"-1", 0}};
  for (const auto& [text, depth] : traces) {
    std::string command = "trace " + text;
    console_command(command.data());
    EXPECT_EQ(settings.trace_depth, depth) << command;
  }
  parse({"-n", "-5"});  // no limit, as the workers would read it anyway
  EXPECT_EQ(control.node_limit, 0);
}

TEST(CommandLine, SwitchesSetTheSettings) {
  auto switches = [] { return std::tuple<int, int, double>(settings.protocol, settings.log_enabled, settings.noise); };
  parse({"-c", "-nolog", "-noise", "1.5", "-uci_extra"});
  EXPECT_EQ(switches(), std::tuple(0, 0, 1.5));
  EXPECT_EQ(uci_extra, 1);
  parse({"-c", "-uci", "-quiet"});
  EXPECT_EQ(switches(), std::tuple(2, 0, 9999.0));
}

TEST(CommandLine, ModePrecedenceAndValues) {
  EXPECT_EQ(selected_mode(parse({})), RUN_INTERACTIVE);
  EXPECT_EQ(selected_mode(parse({"-bench", "-match", "games.rc"})), RUN_MATCH);
  EXPECT_STREQ(settings.match_file, "games.rc");
  EXPECT_EQ(selected_mode(parse({"-tune", "t.epd", "-anepd", "a.epd"})), RUN_ANALYSE_EPD);
  EXPECT_STREQ(settings.epd_file, "a.epd");

  const CommandLine scan = parse({"-scan_pgn3", "games.pgn", "-bench2"});
  EXPECT_EQ((std::tuple<int, int, std::string, int>(selected_mode(scan), scan.scan_mode, scan.scan_file, scan.bench)),
            std::tuple(RUN_SCAN_PGN, 3, "games.pgn", BENCH_20));

  // Without a digit the file name is consumed and no scan is selected: the
  // file name must not be taken for a switch either.
  const CommandLine plain = parse({"-scan_pgn", "-bench"});
  EXPECT_EQ((std::tuple<int, int, int>(plain.scan_mode, plain.bench, selected_mode(plain))),
            std::tuple(0, BENCH_NONE, RUN_INTERACTIVE));

  // A value switch at the very end has no value and is ignored.
  parse({"-hash"});
  EXPECT_EQ(control.hash_mb, 64);

  // Long file names are cut to what the field holds.
  std::string long_name(300, 'f');
  parse({"-anepd", long_name.c_str()});
  EXPECT_EQ(std::string(settings.epd_file), std::string(139, 'f'));
}
