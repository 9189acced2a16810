#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include <unistd.h>

#include "eval/params.h"
#include "frontend/config.h"
#include "frontend/engine_state.h"
#include "frontend/startup.h"

namespace {

class ConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_settings();
    set_default_params(block);
    path = "/tmp/tarn_config_" + std::to_string(getpid()) + ".rc";
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

  // A table whose value on a square is base + square, written rank 8 first.
  static std::string table(const char* key, int base, int rows = 8) {
    std::string text = std::string(key) + "\n";
    for (int rank = 7; rank >= 8 - rows; rank--) {
      for (int file = 0; file < 8; file++) text += std::to_string(base + rank * 8 + file) + " ";
      text += "\n";
    }
    return text;
  }

  static std::string all_tables() {
    std::string text;
    for (int type = 1; type <= 6; type++)
      for (int phase = 0; phase < 2; phase++) text += table(pst_config_name(type, phase), type * 100);
    return text;
  }

  ParamBlock block{};
  std::string path;
  std::string printed;
};

}  // namespace

TEST_F(ConfigFile, ScalarsWithoutTablesKeepTheBuiltInTables) {
  EXPECT_EQ(read("LMR_depth 4\n"), 0);
  EXPECT_EQ(block.search.LMR_depth, 4);
  EXPECT_EQ(settings.builtin_pst, 1);
  EXPECT_EQ(printed, "loaded parameters from " + path + "\n\nfile tarn.rc contains invalid PST\n");
}

TEST_F(ConfigFile, SeparatorsCommentsAndMissingValues) {
  read("pawn_value=100,120\n"
       "knight_value 300\n"
       "# bishop_value 1 2\n"
       "\n"
       "rook_value 500 600 700 extra words\n"
       "queen_value abc 12x\n"
       "BookDepth=10\nBookVariety 7\nSyzygyProbeDepth5 200\nSyzygyProbeDepth6 4\n"
       "unknown_key 5 5\n"
       "NMP_depth 2\ndraw_score -20\n");
  EXPECT_EQ(block.pawn_value_op, 100);
  EXPECT_EQ(block.pawn_value_en, 120);
  EXPECT_EQ(block.knight_value_op, 300);
  EXPECT_EQ(block.knight_value_en, 0);  // a missing value counts as 0
  EXPECT_EQ(block.bishop_value_op, 390);
  EXPECT_EQ(block.rook_value_op, 500);
  EXPECT_EQ(block.rook_value_en, 600);
  EXPECT_EQ(block.queen_value_op, 0);
  EXPECT_EQ(block.queen_value_en, 12);
  EXPECT_EQ(control.book_depth, 10);
  EXPECT_EQ(control.book_variety, 7);
  EXPECT_EQ(control.tb_probe_depth[0], 200);  // not clamped here
  EXPECT_EQ(control.tb_probe_depth[1], 4);
  EXPECT_EQ(block.search.NMP_depth, 2);
  EXPECT_EQ(block.search.draw_score, -20);
}

TEST_F(ConfigFile, TextKeys) {
  read("# SyzygyPath /commented\nTarnBook = \"my.opn\"\n");
  EXPECT_STREQ(control.syzygy_path, "");
  EXPECT_STREQ(settings.book_file, "my.opn");
  read("SyzygyPath=\"/data/tb\" trailing\n");
  EXPECT_STREQ(control.syzygy_path, "/data/tb");
  // A key without a value leaves the setting alone.
  read("SyzygyPath\nTarnBook\n");
  EXPECT_STREQ(control.syzygy_path, "/data/tb");
  EXPECT_STREQ(settings.book_file, "my.opn");
  read("SyzygyPath " + std::string(200, 'p') + "\n");
  EXPECT_EQ(std::string(control.syzygy_path), std::string(129, 'p'));
}

TEST_F(ConfigFile, CompleteTablesAreTakenRankEightFirst) {
  EXPECT_EQ(read("pawn_value 95 105\n" + all_tables()), 1);
  EXPECT_EQ(settings.builtin_pst, 0);
  EXPECT_EQ(printed.find("invalid PST"), std::string::npos);
  EXPECT_EQ(block.pst[1][0].op, 100);        // a1, last row of the pawn table
  EXPECT_EQ(block.pst[1][63].op, 163);       // h8, first row
  EXPECT_EQ(block.pst[6][12].en, 612);       // king ending e2
  EXPECT_EQ(block.pawn_value_op, 95);
}

TEST_F(ConfigFile, ShortTablesLeaveGaps) {
  // Seven rows: the next key line is taken as the eighth row, so that key
  // is lost and its table stays incomplete.
  std::string text = all_tables();
  std::string seven = table("PST_pawn_op", 100, 7);
  text.replace(0, table("PST_pawn_op", 100).size(), seven);
  EXPECT_EQ(read(text), 0);
  EXPECT_NE(printed.find("file tarn.rc contains invalid PST"), std::string::npos);
  EXPECT_EQ(settings.builtin_pst, 1);

  // A short row leaves its last squares unset.
  std::string gap = all_tables();
  size_t row = gap.find("156 157 158 159 160 161 162 163 ");
  ASSERT_NE(row, std::string::npos);
  gap.replace(row, 32, "156 157 158 159 160 161");
  EXPECT_EQ(read(gap), 0);
  EXPECT_EQ(block.pst[1][61].op, 161);
  EXPECT_EQ(block.pst[1][62].op, PST_UNSET);
}

TEST_F(ConfigFile, MissingJunkAndOverlongFiles) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(read_config("/nonexistent/tarn.rc", block), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(block.pawn_value_op, 90);
  EXPECT_EQ(block.pst[1][0].op, 0);  // nothing marked unset when unread

  std::mt19937 random(7);
  std::string junk;
  for (int i = 0; i < 20000; i++) junk += static_cast<char>(random() & 0xFF);
  EXPECT_EQ(read(junk + "\nPST_king_en\n"), 0);

  // A line beyond the line limit continues as a new line.
  EXPECT_EQ(read(std::string(CONFIG_LINE_MAX, ' ') + "pawn_value 77 78\n"), 0);
  EXPECT_EQ(block.pawn_value_op, 77);
}
