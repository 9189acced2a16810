#include <gtest/gtest.h>

#include <cstdio>
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
  parse({"-threads", "0", "-hash", "10000"});
  EXPECT_EQ(control.threads, 1);
  EXPECT_EQ(control.hash_mb, 8192);
  parse({"-threads", "100", "-hash", "-5"});
  EXPECT_EQ(control.threads, 64);
  EXPECT_EQ(control.hash_mb, 0);
  parse({"-threads", "abc", "-hash", "99999999999999999999"});
  EXPECT_EQ(control.threads, 1);
  EXPECT_EQ(control.hash_mb, 8192);
  parse({"-n", "5000"});
  EXPECT_EQ(control.node_limit, 5000);
  EXPECT_EQ(control.level_time, 1000.0);
  parse({"-t", "2.5"});
  EXPECT_EQ(control.level_time, 2.5);
}

// Depth 0 is a limit of its own (the static evaluation); only depths above
// 66 are lowered. The console's "depth" and "trace" follow the same words.
TEST(CommandLine, DepthAndTraceLimits) {
  const struct {
    const char* text;
    int depth;
  } depths[] = {{"80", 66}, {"66", 66}, {"1", 1}, {"0", 0}, {"-4", 0}, {"x", 0}};
  for (const auto& d : depths) {
    parse({"-d", d.text});
    EXPECT_EQ(control.max_depth, d.depth) << "-d " << d.text;
    EXPECT_EQ(control.level_moves, 1);
    EXPECT_EQ(control.level_time, 10000.0);
    control.max_depth = 30;
    char command[32];
    std::snprintf(command, sizeof command, "depth %s", d.text);
    console_command(command);
    EXPECT_EQ(control.max_depth, d.depth) << command;
  }
  // The trace depth is any ply; plies the search never reaches trace nothing.
  const struct {
    const char* text;
    int depth;
  } traces[] = {{"trace 2", 2}, {"trace 100", 100}, {"trace 0", 0}, {"trace 70000", 65535}, {"trace -1", 0}};
  for (const auto& t : traces) {
    char command[32];
    std::snprintf(command, sizeof command, "%s", t.text);
    console_command(command);
    EXPECT_EQ(settings.trace_depth, t.depth) << t.text;
  }
  parse({"-n", "-5"});  // no limit, as the workers would read it anyway
  EXPECT_EQ(control.node_limit, 0);
}

TEST(CommandLine, SwitchesSetTheSettings) {
  parse({"-c", "-nolog", "-noise", "1.5", "-uci_extra"});
  EXPECT_EQ(settings.protocol, 0);
  EXPECT_EQ(settings.log_enabled, 0);
  EXPECT_EQ(settings.noise, 1.5);
  EXPECT_EQ(uci_extra, 1);
  parse({"-c", "-uci", "-quiet"});
  EXPECT_EQ(settings.protocol, 2);
  EXPECT_EQ(settings.noise, 9999.0);
  EXPECT_EQ(settings.log_enabled, 0);
}

TEST(CommandLine, ModePrecedenceAndValues) {
  EXPECT_EQ(selected_mode(parse({})), RUN_INTERACTIVE);
  EXPECT_EQ(selected_mode(parse({"-bench", "-match", "games.rc"})), RUN_MATCH);
  EXPECT_STREQ(settings.match_file, "games.rc");
  EXPECT_EQ(selected_mode(parse({"-tune", "t.epd", "-anepd", "a.epd"})), RUN_ANALYSE_EPD);
  EXPECT_STREQ(settings.epd_file, "a.epd");

  CommandLine scan = parse({"-scan_pgn3", "games.pgn", "-bench2"});
  EXPECT_EQ(selected_mode(scan), RUN_SCAN_PGN);
  EXPECT_EQ(scan.scan_mode, 3);
  EXPECT_STREQ(scan.scan_file, "games.pgn");
  EXPECT_EQ(scan.bench, BENCH_20);

  // Without a digit the file name is consumed and no scan is selected: the
  // file name must not be taken for a switch either.
  CommandLine plain = parse({"-scan_pgn", "-bench"});
  EXPECT_EQ(plain.scan_mode, 0);
  EXPECT_EQ(plain.bench, BENCH_NONE);
  EXPECT_EQ(selected_mode(plain), RUN_INTERACTIVE);

  // A value switch at the very end has no value and is ignored.
  parse({"-hash"});
  EXPECT_EQ(control.hash_mb, 64);

  // Long file names are cut to what the field holds.
  std::string long_name(300, 'f');
  parse({"-anepd", long_name.c_str()});
  EXPECT_EQ(std::string(settings.epd_file), std::string(139, 'f'));
}
