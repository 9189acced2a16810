// Discovery and registration of table files: directory lists, the count
// line, keys, hash entries and the records' derived fields.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;
namespace fs = std::filesystem;

namespace {

// A fresh directory under the system's temporary folder, removed at the end.
struct TempDir {
  fs::path path;
  explicit TempDir(const std::string& tag) {
    path = fs::temp_directory_path() / ("tarn_tb_" + tag + "_" + std::to_string(::getpid()));
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  void copy_table(const std::string& file, const std::string& as = "") const {
    fs::copy_file(syzygy_dir() + "/" + file, path / (as.empty() ? file : as));
  }
  std::string str() const { return path.string(); }
};

int probe_wdl_fen(const char* fen, int* success) {
  return egtb_probe_wdl(position_from_fen(fen), success);
}

int probe_dtz_fen(const char* fen, int* success) {
  return egtb_probe_dtz(position_from_fen(fen), success);
}

const char* const KQVK_WIN = "8/8/8/8/8/2k5/8/KQ6 w - -";
const char* const KRVKP_POSITION = "8/8/8/8/3k4/8/6p1/K1R5 w - -";

}  // namespace

TEST(Registry, SharedFolderCountAndLargestTable) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  EXPECT_EQ(setup_capturing(syzygy_dir()), "info string found 38 tablebases\n");
  EXPECT_EQ(egtb_max_pieces, 5u);
  EXPECT_EQ(egtb_table_count(), 38);
}

TEST(Registry, EmptyPathsRegisterNothingAndPrintNothing) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  for (const char* path : {"", "<empty>"}) {
    setup_capturing(syzygy_dir());
    EXPECT_EQ(setup_capturing(path), "") << path;
    EXPECT_EQ(egtb_max_pieces, 0u);
    EXPECT_EQ(egtb_table_count(), 0);
    int success = 1;
    probe_wdl_fen(KQVK_WIN, &success);
    EXPECT_EQ(success, 0);
  }
  // A later real path registers again, and a directory list of nothing but
  // separators still prints its (zero) count.
  EXPECT_EQ(setup_capturing(syzygy_dir()), "info string found 38 tablebases\n");
  EXPECT_EQ(setup_capturing(";;"), "info string found 0 tablebases\n");
  EXPECT_EQ(egtb_directory_count(), 0);
}

TEST(Registry, DirectoryListSkipsEmptySegmentsAndPrefersEarlierDirectories) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  TempDir a("a"), b("b");
  a.copy_table("KQvK.rtbw");
  b.copy_table("KQvK.rtbw");
  b.copy_table("KRvK.rtbw");
  // b's KQvK is damaged: a lookup works only if it is read from a.
  {
    std::fstream f(b.path / "KQvK.rtbw", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0);
    f.write("XXXX", 4);
  }
  std::string out = setup_capturing(a.str() + ";;" + b.str() + ";");
  EXPECT_EQ(out, "info string found 2 tablebases\n");
  ASSERT_EQ(egtb_directory_count(), 2);
  EXPECT_EQ(std::string(egtb_directory(0)), a.str());
  EXPECT_EQ(std::string(egtb_directory(1)), b.str());
  int success = 1;
  EXPECT_EQ(probe_wdl_fen(KQVK_WIN, &success), 2);
  EXPECT_EQ(success, 1);
  EXPECT_EQ(probe_wdl_fen("8/8/8/8/8/2k5/8/KR6 w - -", &success), 2);
  EXPECT_EQ(success, 1);
}

TEST(Registry, WdlFilesAloneGiveWdlButNoDtz) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  TempDir dir("wdl_only");
  dir.copy_table("KQvK.rtbw");
  dir.copy_table("KRvKP.rtbw");
  EXPECT_EQ(setup_capturing(dir.str()), "info string found 2 tablebases\n");
  int success = 1;
  EXPECT_EQ(probe_wdl_fen(KQVK_WIN, &success), 2);
  EXPECT_EQ(success, 1);
  probe_wdl_fen(KRVKP_POSITION, &success);
  EXPECT_NE(success, 0);
  probe_dtz_fen(KQVK_WIN, &success);
  EXPECT_EQ(success, 0);
  probe_wdl_fen("8/8/8/8/8/2k5/6r1/KQ6 w - -", &success);
  EXPECT_EQ(success, 0);
}

TEST(Registry, OnlyCanonicalNamesAreLookedFor) {
  TARN_REQUIRE_SHARED("syzygy/KQRvK.rtbw");
  TempDir dir("names");
  dir.copy_table("KQRvK.rtbw", "KRQvK.rtbw");
  dir.copy_table("KQvK.rtbw", "KvKQ.rtbw");
  dir.copy_table("KQvK.rtbz", "KvKQ.rtbz");
  EXPECT_EQ(setup_capturing(dir.str()), "info string found 0 tablebases\n");
  EXPECT_EQ(egtb_max_pieces, 0u);
}

TEST(Registry, LongAndManyDirectories) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  // Hundreds of missing directories before the real one are searched through.
  std::string many;
  for (int i = 0; i < 300; i++) many += "/nonexistent/tarn_dir_" + std::to_string(i) + ";";
  EXPECT_EQ(setup_capturing(many + syzygy_dir()), "info string found 38 tablebases\n");
  EXPECT_EQ(egtb_directory_count(), 301);
  // A directory too long for any candidate name ends the search: the real
  // directory after it is never reached.
  std::string long_dir = "/" + std::string(255, 'x');
  EXPECT_EQ(setup_capturing(long_dir + ";" + syzygy_dir()), "info string found 0 tablebases\n");
  // A directory with spaces in its name is taken as it is.
  TempDir spaced("with space");
  spaced.copy_table("KQvK.rtbw");
  EXPECT_EQ(setup_capturing(spaced.str()), "info string found 1 tablebases\n");
}

TEST(Registry, KeysHashEntriesAndDerivedFields) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  setup_capturing(syzygy_dir());
  EgtbPosition kqvkr = position_from_fen("8/8/8/8/8/2k2r2/8/KQ6 w - -");
  uint64_t key = egtb_material_key(kqvkr, false), swapped = egtb_material_key(kqvkr, true);
  EXPECT_EQ(key, 0xa3ec1abc71e90863ULL + 0xfd7866b439b94495ULL);
  EXPECT_EQ(swapped, 0x985deb9fc49333f9ULL + 0xd6e4e47d24962951ULL);
  EXPECT_EQ(egtb_material_key(position_from_fen("8/8/8/8/8/2k5/8/K7 w - -"), false), 0u);
  char name[16];
  egtb_material_name(kqvkr, name, false);
  EXPECT_STREQ(name, "KQvKR");
  egtb_material_name(kqvkr, name, true);
  EXPECT_STREQ(name, "KRvKQ");

  // Non-symmetric material is found under both keys, as one record.
  EgtbTable* t = egtb_find(key);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(egtb_find(swapped), t);
  EXPECT_EQ(t->mat.num, 4);
  EXPECT_FALSE(t->mat.symmetric);
  EXPECT_EQ(t->mat.king_encoding, 0);
  // Symmetric material has one key only.
  EgtbPosition kbvkb = position_from_fen("8/8/8/8/8/2kb4/8/KB6 w - -");
  EgtbTable* sym = egtb_find(egtb_material_key(kbvkb, false));
  ASSERT_NE(sym, nullptr);
  EXPECT_TRUE(sym->mat.symmetric);
  EXPECT_EQ(egtb_material_key(kbvkb, true), egtb_material_key(kbvkb, false));
  // Two unique pieces (the kings) need the king-pair encoding.
  EgtbTable* kqqvk = egtb_find(egtb_material_key(position_from_fen("8/8/8/8/8/2k5/8/KQQ5 w - -"), false));
  ASSERT_NE(kqqvk, nullptr);
  EXPECT_EQ(kqqvk->mat.king_encoding, 2);
  EXPECT_EQ(egtb_find(egtb_material_key(position_from_fen("8/8/8/8/8/2k5/8/KQQQ4 w - -"), false)), nullptr);
}

TEST(Registry, LeadingPawnColour) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  setup_capturing("<empty>");
  struct Case {
    const char* name;
    const char* fen;  // any position of that material, white as named
    int lead, other;
  } cases[] = {
      {"KRPvKP", "8/8/8/3p4/8/2k5/3P4/KR6 w - -", 1, 1},   // equal counts: white leads
      {"KPvKPP", "8/8/8/3pp3/8/2k5/3P4/K7 w - -", 1, 2},   // fewer pawns lead
      {"KRvKP", "8/8/8/3p4/8/2k5/8/KR6 w - -", 1, 0},      // only black has pawns
      {"KPPvKP", "8/8/8/3p4/8/2k5/3PP3/K7 w - -", 1, 2},   // black has fewer
  };
  for (const Case& c : cases) {
    egtb_register(c.name);
    EgtbTable* t = egtb_find(egtb_material_key(position_from_fen(c.fen), false));
    ASSERT_NE(t, nullptr) << c.name;
    EXPECT_EQ(t->mat.pawns[0], c.lead) << c.name;
    EXPECT_EQ(t->mat.pawns[1], c.other) << c.name;
  }
  EXPECT_EQ(egtb_max_pieces, 5u);
}

TEST(Registry, SettingThePathAgainReleasesMappings) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  setup_capturing(syzygy_dir());
  int success = 1;
  EgtbPosition pos = position_from_fen(KQVK_WIN);
  EXPECT_GT(egtb_probe_dtz(pos, &success), 0);
  EgtbTable* t = egtb_find(egtb_material_key(pos, false));
  ASSERT_NE(t, nullptr);
  EXPECT_NE(t->view.data, nullptr);
  EXPECT_EQ(t->ready.load(), 1);
  setup_capturing(syzygy_dir());
  EXPECT_EQ(t->view.data, nullptr);
  EXPECT_EQ(t->ready.load(), 0);
  // Tables load again on demand.
  EXPECT_GT(egtb_probe_dtz(pos, &success), 0);
  EXPECT_EQ(success, 1);
}
