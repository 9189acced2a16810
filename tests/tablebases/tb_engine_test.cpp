// The engine binary with a table folder set: it reports the tables, shows
// table scores and hits in its info lines, converts a won ending to mate and
// keeps a drawn one drawn when it plays both sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "board/board.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "support/engine_process.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using tarn_test::EngineProcess;
using namespace tb_test;

namespace {

// Lets the engine play both sides from `fen` for at most `limit` plies,
// judging every position with the tables in this process: a won start ends
// in mate, a drawn one lasts all the plies, the table verdict holds
// throughout and (when judged) the progress lines show it.
void play(EngineProcess& engine, const char* fen, int limit, int expected_wdl, bool judge_info) {
  SCOPED_TRACE(fen);
  Board* b = board_at(fen);
  int success;
  int start_wdl = egtb_probe_wdl(egtb_position_from_board(b, 0), &success);
  ASSERT_NE(success, 0);
  ASSERT_EQ(start_wdl, expected_wdl);
  int first_side = b->side, plies = 0;
  bool mate = false, result_kept = true, info_ok = true;
  std::string moves;
  for (; plies < limit; plies++) {
    if (legal_moves(b).empty()) {
      mate = in_check(b);
      break;
    }
    int wdl = egtb_probe_wdl(egtb_position_from_board(b, 0), &success);
    if (wdl != (b->side == first_side ? start_wdl : -start_wdl)) result_kept = false;
    engine.send(std::string("position fen ") + fen + (moves.empty() ? "" : " moves" + moves));
    engine.send("go depth 7");
    std::vector<std::string> lines = engine.read_until("bestmove", 30);
    if (lines.empty() || lines.back().rfind("bestmove ", 0) != 0) {
      ADD_FAILURE() << "no move from " << fen_of(egtb_position_from_board(b, 0)) << (lines.empty() ? "" : lines.back());
      break;
    }
    // The last progress line shows the table verdict and counts its hits.
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
      if (it->rfind("info depth", 0) != 0 || it->find(" score ") == std::string::npos) continue;
      bool table_score = wdl > 0   ? it->find("score cp 9800") != std::string::npos
                         : wdl < 0 ? it->find("score cp -9800") != std::string::npos
                                   : it->find("score cp 0 ") != std::string::npos;
      bool mate_score = it->find("score mate") != std::string::npos;
      if (!(table_score || mate_score) || it->find(" tbhits ") == std::string::npos) info_ok = false;
      break;
    }
    char text[16] = {0};
    std::strncpy(text, lines.back().c_str() + 9, 6);
    if (char* space = std::strchr(text, ' ')) *space = 0;
    std::string played = text;  // the parser edits its text
    Move move;
    if (!parse_move_on(b, text, &move) || !is_legal(b, b->side, move)) {
      ADD_FAILURE() << "illegal " << text << " in " << fen_of(egtb_position_from_board(b, 0));
      break;
    }
    make_move(b, move);
    moves += " " + played;
  }
  EXPECT_EQ(mate, start_wdl != 0) << plies << " plies";
  EXPECT_EQ(plies < limit, start_wdl != 0);
  EXPECT_TRUE(result_kept);
  EXPECT_TRUE(info_ok || !judge_info);
}

}  // namespace

TEST(EnginePlay, ConvertsWonEndingsAndHoldsDrawnOnes) {
  TARN_REQUIRE_SHARED("syzygy/KQvKR.rtbw");
  setup_capturing(syzygy_dir());
  EngineProcess engine;
  ASSERT_TRUE(engine.start({"-nolog", "-hash", "1"}));
  engine.send("uci");
  ASSERT_TRUE(engine.expect_line("uciok", 10));
  engine.send("setoption name SyzygyPath value " + syzygy_dir());
  ASSERT_TRUE(engine.expect_line("info string found 38 tablebases", 10));
  ASSERT_TRUE(engine.expect_line("info string SyzygyPath set to " + syzygy_dir(), 5));

  play(engine, "8/8/3k4/8/8/2r5/8/KQ6 w - - 0 1", 200, 2, true);
  play(engine, "8/8/8/3k4/8/8/3PK3/8 w - - 0 1", 200, 2, false);  // its info lines go unjudged
  play(engine, "8/8/3k4/8/3r4/8/8/KR6 w - - 0 1", 40, 0, true);
}

// Table folders in the forms a Windows user types: a drive letter,
// backslashes (also a trailing one), and ';' between folders.
TEST(EnginePlay, WindowsFolderForms) {
  if (!tarn_test::windows_build()) GTEST_SKIP() << "only the Windows build reads these forms";
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  EngineProcess engine;
  std::filesystem::create_directories(engine.directory() + "/sub/tables");
  for (const char* suffix : {".rtbw", ".rtbz"})
    std::filesystem::copy_file(syzygy_dir() + "/KQvK" + suffix, engine.directory() + "/sub/tables/KQvK" + suffix);
  // Wine's drive Z: is the Linux root.
  std::string drive_form = "Z:" + syzygy_dir();
  std::replace(drive_form.begin(), drive_form.end(), '/', '\\');
  ASSERT_TRUE(engine.start({"-nolog", "-hash", "1"}));
  const std::pair<std::string, int> cases[] = {
      {drive_form, 38}, {"sub\\tables", 1}, {"C:\\nowhere;sub\\tables\\", 1}};
  for (const auto& [path, count] : cases) {
    engine.send("setoption name SyzygyPath value " + path);
    EXPECT_TRUE(engine.expect_line("info string found " + std::to_string(count) + " tablebases", 10)) << path;
  }
  engine.send("position fen 8/8/8/8/8/2k5/8/KQ6 w - - 0 1");
  engine.send("go depth 5");
  std::vector<std::string> lines = engine.read_until("bestmove", 30);
  ASSERT_GE(lines.size(), 2u);
  std::string last_info = lines[lines.size() - 2];
  EXPECT_EQ(last_info.find(" tbhits 0 "), std::string::npos) << last_info;
  EXPECT_NE(last_info.find(" tbhits "), std::string::npos) << last_info;
}
