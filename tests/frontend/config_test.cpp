#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "core/engine_state.h"
#include "eval/params.h"
#include "frontend/config.h"
#include "frontend/startup.h"

namespace {

class ConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings();
    set_default_params(block);
  }
  void TearDown() override { std::remove(path.c_str()); }

  // Reads `text` as the file; returns the result, output in `printed`.
  int read(const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    testing::internal::CaptureStdout();
    int result = read_config(path.c_str(), block);
    printed = testing::internal::GetCapturedStdout();
    return result;
  }

  // Twelve tables, value type * 100 + square, rank 8 first; `rows` limits
  // the first table.
  static std::string tables(int rows = 8) {
    std::string text;
    for (int type = 1; type <= 6; type++)
      for (int phase = 0; phase < 2; phase++) {
        text += std::string(pst_config_name(type, phase)) + "\n";
        for (int rank = 7; rank >= (type == 1 && phase == 0 ? 8 - rows : 0); rank--) {
          for (int file = 0; file < 8; file++) text += std::to_string(type * 100 + rank * 8 + file) + " ";
          text += "\n";
        }
      }
    return text;
  }

  ParamBlock block{};
  std::string path = "/tmp/tarn_config_" + std::to_string(getpid()) + ".rc";
  std::string printed;
};

}  // namespace

// Scalars without tables keep the built-in tables.
TEST_F(ConfigFile, SeparatorsCommentsTextKeysAndMissingValues) {
  EXPECT_EQ(read("pawn_value=100,120\nknight_value 300\n# bishop_value 1 2\n\n"
                 "queen_value abc 12x\nBookDepth=10\nSyzygyProbeDepth5 200\nunknown_key 5 5\nLMR_depth 4\n"
                 "# SyzygyPath /commented\nTarnBook = \"my.opn\"\nSyzygyPath=\"/data/tb\" trailing\n"),
            0);
  EXPECT_EQ(settings.builtin_pst, 1);
  EXPECT_EQ(printed, "loaded parameters from " + path + "\n\nfile tarn.rc contains invalid PST\n");
  // A missing or unreadable number counts as 0, a commented line not at
  // all; probe depths are not clamped here.
  EXPECT_EQ((std::vector<int>{block.pawn_value_op, block.pawn_value_en, block.knight_value_op, block.knight_value_en,
                              block.bishop_value_op, block.queen_value_op, block.queen_value_en, control.book_depth,
                              control.tb_probe_depth[0], block.search.LMR_depth}),
            (std::vector<int>{100, 120, 300, 0, 390, 0, 12, 10, 200, 4}));
  EXPECT_STREQ(settings.book_file, "my.opn");
  EXPECT_STREQ(control.syzygy_path, "/data/tb");
  // Long values are cut; a text key without a value empties its setting.
  read("SyzygyPath=" + std::string(200, 'p') + "\nTarnBook " + std::string(200, 'b') + "\n");
  EXPECT_EQ(std::string(control.syzygy_path), std::string(129, 'p'));
  EXPECT_EQ(std::string(settings.book_file), std::string(141, 'b'));
  read("SyzygyPath\nTarnBook \n");
  EXPECT_EQ(std::string(control.syzygy_path) + settings.book_file, "");
}

TEST_F(ConfigFile, TablesAreTakenRankEightFirstAndShortOnesLeaveGaps) {
  EXPECT_EQ(read(tables()), 1);
  EXPECT_EQ(settings.builtin_pst, 0);
  // a1: last row of the pawn table; h8: its first row.
  EXPECT_EQ((std::vector<int>{block.pst[1][0].op, block.pst[1][63].op, block.pst[6][12].en}),
            (std::vector<int>{100, 163, 612}));
  // Seven rows: the next key is read as the eighth row and its table is lost.
  set_default_settings();
  EXPECT_EQ(read(tables(7)), 0);
  EXPECT_EQ(settings.builtin_pst, 1);
  EXPECT_NE(printed.find("file tarn.rc contains invalid PST"), std::string::npos);
  // A short row leaves the rest of its rank unset.
  std::string text = tables();
  text.replace(text.find("160 161 162 163 "), 16, "160 161");
  EXPECT_EQ(read(text), 0);
  EXPECT_EQ((std::pair<int, int>(block.pst[1][61].op, block.pst[1][62].op)), (std::pair<int, int>(161, PST_UNSET)));
}

TEST_F(ConfigFile, MissingFileAndOverlongLines) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(read_config("/nonexistent/tarn.rc", block), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(block.pst[1][0].op, 0);  // nothing marked unset when unread
  // A line beyond the limit continues as a new line.
  read(std::string(CONFIG_LINE_MAX, ' ') + "pawn_value 77 78\n");
  EXPECT_EQ(block.pawn_value_op, 77);
}
