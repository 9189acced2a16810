#include "tools/epd_analysis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/engine_state.h"
#include "tool_env.h"
#include "tools/epd_fields.h"
#include "tools/pgn_scan.h"
#include "tools/tuner.h"

namespace {

const char* const short_game =
    "[Event \"e2e\"]\n[Result \"0-1\"]\n"
    "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O {+0.15/2} Be7 {-0.20/5}\n"
    "6. Re1 {+0.30/6} b5 {-0.25/6} 7. Bb3 {+0.31/7} d6 {-0.22/7} 8. c3 {+0.28/7}\n"
    "O-O {-0.19/7} 9. h3 {+0.30/8} Nb8 {-0.21/7} 10. d4 {+0.33/8} Nbd7 {-0.20/8}\n"
    "11. Nbd2 {+0.35/8} Bb7 {-0.24/8} 12. Bc2 {+0.31/8} Re8 {-0.22/8}\n"
    "13. Nf1 {+0.30/8} Bf8 {-0.20/8} 14. Ng3 {+0.29/8} g6 {-0.18/8}\n"
    "15. a4 {+0.30/8} c5 {-0.17/8} 16. d5 {+0.40/8} c4 {-0.30/8} 0-1\n";

// Runs the analysis of a file with the output captured.
std::string analyse(const char* file, int depth) {
  std::strcpy(settings.epd_file, file);
  control.max_depth = static_cast<int8_t>(depth);
  control.level_moves = 1;
  control.level_time = 1000.0;
  settings.noise = 9999.0;
  testing::internal::CaptureStdout();
  analyze_epd(0);
  return testing::internal::GetCapturedStdout();
}

int after(const std::string& out, const std::string& key) {
  size_t at = out.find(key);
  return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + key.size());
}

}  // namespace

TEST(EpdAnalysis, ReadsWhatTheScannerWrites) {
  tool_test_setup(true);
  ScratchDir dir;
  write_text_file("g.pgn", short_game);
  testing::internal::CaptureStdout();
  ASSERT_EQ(scan_pgn("g.pgn", 2), 7);  // plies 20..26 of 32
  testing::internal::GetCapturedStdout();

  std::string out = analyse("tmp.epd", 6);
  EXPECT_EQ(out.rfind("Analyzing tmp.epd...\n", 0), 0u);
  // From depth 6 the branching factor is measured (below it 2.0 is assumed).
  double bf = out.find("avg bf= ") == std::string::npos ? 0 : std::atof(out.c_str() + out.find("avg bf= ") + 8);
  EXPECT_TRUE(bf > 1.0 && bf < 10.0 && bf != 2.0) << out;
  EXPECT_EQ(after(out, " / "), 7);
  int correct = std::atoi(out.c_str() + out.find("Analyzing tmp.epd...\n") + 21);
  EXPECT_GT(correct, 0);  // the SAN best moves were read back, and some found
  EXPECT_EQ(static_cast<int>(read_lines(UNSOLVED_FILE).size()), 7 - correct);
  EXPECT_EQ(out.substr(out.size() - 2), "\n\n");

  // Depth 0 scores by the static evaluation, so every record is quiet: no
  // move is searched or judged, and no "unsolved.epd" made. The result 0-1
  // is read from c9: white's four records (ce near +0.3) disagree with it by
  // more than one half and stay out of the error figure; the flip turns it round.
  std::filesystem::remove(UNSOLVED_FILE);
  out = analyse("tmp.epd", 0);
  EXPECT_NE(out.find("\n0 / 7 correct best moves\ntotal nodes= 0\n"), std::string::npos) << out;
  EXPECT_EQ(after(out, "xcnt= "), 3);
  EXPECT_FALSE(std::filesystem::exists(UNSOLVED_FILE));
  double all = epd_error_all_records();
  tune_result_flip = true;
  double flipped = epd_error_all_records();
  tune_result_flip = false;
  EXPECT_TRUE(all > 0.0 && all < 1.0 && all != flipped) << all << " " << flipped;
  EXPECT_NE(tuning_error(7), 1.0);
  // Nor is a best move read: an ambiguous one draws no complaint.
  write_text_file("ambiguous.epd", "4k3/8/8/8/8/5N2/8/1N2K3 w - - bm Nd2;\n");
  EXPECT_EQ(analyse("ambiguous.epd", 0).find("ambiguous move"), std::string::npos);
  EXPECT_NE(analyse("ambiguous.epd", 1).find("ambiguous move"), std::string::npos);
}

TEST(EpdAnalysis, BadRecordsAreSkippedOrSurvived) {
  tool_test_setup(true);
  ScratchDir dir;
  const char binary[] = "\x01\x02\xff\xfe garbage bytes here\n";
  write_text_file("bad.epd",
                  "# a comment that is long enough\nshort\n"
                  " 4k3/8/8/8/8/8/8/4K2R w K - bm Rh8+;\n"                // leading space
                  "4k3/8/8/8/8/8/8/4K2R w K - bm Rh8+; c9 \"1-0\";\r\n"  // counted
                  "4k3/8/8/8/8/8/8/R3K3 w Q - bm Zz9; id \"" + std::string(10000, 'y') +
                      "\";\n"                                            // counted
                      + std::string(10000, 'x') + "\n" +
                      "4k3/8/8/8/8/8/8/4K3\n"                            // counted
                      + binary +
                      "8/8/8/8/8/8/8/8 w - - bm e4;\n"                   // no kings
                      "k6R/8/8/8/8/8/8/K7 w - - bm Ka2;\n"               // mover left in check
                      "k6P/8/8/8/8/8/8/K7 w - - bm Ka2;\n"               // pawn on the last rank
                      "4k3/8/8/8/8/8/8/4K2R w K - bm"                    // counted
                      "\nk7/8/1K6/8/8/8/8/7R w - - bm h1h8;\n"           // mate, coordinates
                      "k7/8/1K6/8/8/8/8/7R w - - bm Rh8;");  // the same in SAN, no final line feed
  std::string out = analyse("bad.epd", 2);
  EXPECT_EQ(after(out, " / "), 6);
  EXPECT_GE(std::atoi(out.c_str() + out.find("Analyzing bad.epd...\n") + 21), 2);
  EXPECT_EQ(after(out, "xcnt= "), 0);  // the one result comes with a score past 700
  std::strcpy(settings.epd_file, "missing.epd");
  EXPECT_EQ(analyze_epd(0), 1.0);
}
