// The engine binary with a table folder set: it reports the tables, shows
// table scores and hits in its info lines, converts a won ending to mate and
// keeps a drawn one drawn when it plays both sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "support/engine_process.h"
#include "support/shared_data.h"
#include "support/uci_session.h"
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
  int success, first_side = b->side, plies = 0;
  std::string moves;
  for (; plies < limit; plies++) {
    std::vector<uint16_t> legal = legal_moves(b);
    if (legal.empty()) break;
    int wdl = egtb_probe_wdl(egtb_position_from_board(b, 0), &success);
    ASSERT_EQ(wdl, b->side == first_side ? expected_wdl : -expected_wdl) << "after" << moves;
    std::string position = std::string("position fen ") + fen + (moves.empty() ? "" : " moves" + moves);
    std::vector<std::string> lines = tarn_test::search(engine, position, "go depth 7");
    ASSERT_TRUE(!lines.empty() && lines.back().rfind("bestmove ", 0) == 0) << "no move after" << moves;
    // The last progress line shows the table verdict (or a mate) and counts its hits.
    auto info = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
      return line.rfind("info depth", 0) == 0 && line.find(" score ") != std::string::npos;
    });
    if (judge_info && info != lines.rend()) {
      const char* verdict = wdl > 0 ? "score cp 9800" : wdl < 0 ? "score cp -9800" : "score cp 0 ";
      bool shown = info->find(verdict) != std::string::npos || info->find("score mate") != std::string::npos;
      EXPECT_TRUE(shown) << *info;
      EXPECT_NE(info->find(" tbhits "), std::string::npos) << *info;
    }
    std::string played = lines.back().substr(9, lines.back().find(' ', 9) - 9);
    Move move = coordinate_move(played.c_str());
    ASSERT_NE(std::find(legal.begin(), legal.end(), move), legal.end()) << played << " after" << moves;
    make_move(b, move);
    moves += " " + played;
  }
  // Mated, neither stalemated nor still playing at the end.
  EXPECT_EQ(plies < limit && in_check(b), expected_wdl != 0) << plies << " plies:" << moves;
}

}  // namespace

TEST(EnginePlay, ConvertsWonEndingsAndHoldsDrawnOnes) {
  TARN_REQUIRE_SHARED("syzygy/KQvKR.rtbw");
  setup_capturing(syzygy_dir());
  EngineProcess engine;
  tarn_test::open_uci(engine);
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
  auto lines = tarn_test::search(engine, "position fen 8/8/8/8/8/2k5/8/KQ6 w - - 0 1", "go depth 5");
  ASSERT_GE(lines.size(), 2u);
  std::string last_info = lines[lines.size() - 2];
  EXPECT_EQ(last_info.find(" tbhits 0 "), std::string::npos) << last_info;
  EXPECT_NE(last_info.find(" tbhits "), std::string::npos) << last_info;
}
