// Discovery and registration of table files: directory lists, the count
// line, keys, hash entries, the records' derived fields and their release.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <tuple>

#include "support/scratch_dir.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;
namespace fs = std::filesystem;

namespace {

// A scratch folder holding copies of shared tables, each under its own name
// or under the one after '>'.
struct TableDir : tarn_test::ScratchDir {
  explicit TableDir(std::initializer_list<std::string> files) : ScratchDir(false) {
    for (const std::string& file : files) {
      size_t cut = file.find('>');
      std::string as = cut == std::string::npos ? file : file.substr(cut + 1);
      fs::copy_file(syzygy_dir() + "/" + file.substr(0, cut), path() / as);
    }
  }
};

std::string found(int count) { return "info string found " + std::to_string(count) + " tablebases\n"; }

constexpr int NO_ANSWER = 99;

int wdl_of(const char* fen) {
  int success;
  int v = egtb_probe_wdl(position_from_fen(fen), &success);
  return success ? v : NO_ANSWER;
}

const char* const KQVK_WIN = "8/8/8/8/8/2k5/8/KQ6 w - -";

}  // namespace

// The shared folder, set again (which releases the mappings; tables load
// again on demand), then paths that register nothing: empty ones print
// nothing, a list of nothing but separators prints its (zero) count.
TEST(Registry, CountLineReleasedMappingsAndEmptyPaths) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  // The largest table, the number of tables and a KQvK verdict.
  auto state = [] { return std::tuple(egtb_max_pieces, egtb_table_count(), wdl_of(KQVK_WIN)); };
  EXPECT_EQ(setup_capturing(syzygy_dir()), found(38));
  EXPECT_EQ(state(), std::tuple(5u, 38, 2));
  int success = 1;
  EgtbPosition pos = position_from_fen(KQVK_WIN);
  EXPECT_GT(egtb_probe_dtz(pos, &success), 0);
  EgtbTable* t = egtb_find(egtb_material_key(pos, false));
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->view.data != nullptr && t->ready.load() == 1);
  setup_capturing(syzygy_dir());
  EXPECT_TRUE(t->view.data == nullptr && t->ready.load() == 0);
  EXPECT_GT(egtb_probe_dtz(pos, &success), 0);
  EXPECT_EQ(success, 1);
  for (const char* path : {"", "<empty>"}) {
    setup_capturing(syzygy_dir());
    EXPECT_EQ(setup_capturing(path), "") << path;
    EXPECT_EQ(state(), std::tuple(0u, 0, NO_ANSWER)) << path;
  }
  EXPECT_EQ(setup_capturing(syzygy_dir()), found(38));
  EXPECT_EQ(setup_capturing(";;"), found(0));
  EXPECT_EQ(egtb_directory_count(), 0);
}

TEST(Registry, DirectoryLists) {
  TARN_REQUIRE_SHARED("syzygy/KQRvK.rtbw");
  // Empty segments are skipped and earlier directories win: b's KQvK is
  // damaged, so a lookup works only if it is read from a.
  TableDir a({"KQvK.rtbw"}), b({"KQvK.rtbw", "KRvK.rtbw"});
  std::fstream(b.path() / "KQvK.rtbw", std::ios::in | std::ios::out | std::ios::binary).write("XXXX", 4);
  EXPECT_EQ(setup_capturing(a.str() + ";;" + b.str() + ";"), found(2));
  ASSERT_EQ(egtb_directory_count(), 2);
  EXPECT_EQ(std::string(egtb_directory(0)), a.str());
  EXPECT_EQ(std::string(egtb_directory(1)), b.str());
  EXPECT_EQ(wdl_of(KQVK_WIN), 2);
  EXPECT_EQ(wdl_of("8/8/8/8/8/2k5/8/KR6 w - -"), 2);

  // WDL files alone answer WDL probes but no DTZ ones.
  TableDir wdl_only({"KQvK.rtbw", "KRvKP.rtbw"});
  EXPECT_EQ(setup_capturing(wdl_only.str()), found(2));
  EXPECT_EQ(wdl_of(KQVK_WIN), 2);
  EXPECT_NE(wdl_of("8/8/8/8/3k4/8/6p1/K1R5 w - -"), NO_ANSWER);
  EXPECT_EQ(wdl_of("8/8/8/8/8/2k5/6r1/KQ6 w - -"), NO_ANSWER);
  int success;
  egtb_probe_dtz(position_from_fen(KQVK_WIN), &success);
  EXPECT_EQ(success, 0);

  // Only canonical names are looked for; a directory with spaces in its
  // name is taken as it is.
  TableDir names({"KQRvK.rtbw>KRQvK.rtbw", "KQvK.rtbw>KvKQ.rtbw", "KQvK.rtbz>KvKQ.rtbz"});
  EXPECT_EQ(setup_capturing(names.str()), found(0));
  EXPECT_EQ(egtb_max_pieces, 0u);
  fs::create_directory(names.path() / "with space");
  fs::copy_file(syzygy_dir() + "/KQvK.rtbw", names.path() / "with space/KQvK.rtbw");
  EXPECT_EQ(setup_capturing(names.str() + "/with space"), found(1));
  // Every family of names, up to six pieces, is looked for down to its last
  // letter, the pawn (a name is found by its file alone).
  TableDir pawns({"KQvK.rtbw>KPvK.rtbw", "KQvK.rtbw>KPvKP.rtbw", "KQvK.rtbw>KPPvK.rtbw", "KQvK.rtbw>KPPvKP.rtbw",
                  "KQvK.rtbw>KPPPvK.rtbw", "KQvK.rtbw>KPPvKPP.rtbw", "KQvK.rtbw>KPPPvKP.rtbw",
                  "KQvK.rtbw>KPPPPvK.rtbw"});
  EXPECT_EQ(setup_capturing(pawns.str()), found(8));

  // Hundreds of missing directories before the real one are searched through.
  std::string many;
  for (int i = 0; i < 300; i++) many += "/nonexistent/tarn_dir_" + std::to_string(i) + ";";
  EXPECT_EQ(setup_capturing(many + syzygy_dir()), found(38));
  EXPECT_EQ(egtb_directory_count(), 301);
  // A directory too long for any candidate name ends the search: the real
  // directory after it is never reached.
  EXPECT_EQ(setup_capturing("/" + std::string(255, 'x') + ";" + syzygy_dir()), found(0));
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

  // Non-symmetric material is found under both keys, as one record;
  // symmetric material has one key only. Two unique pieces (the kings) need
  // the king-pair encoding. A record's (pieces, symmetric, king encoding):
  auto shape = [](const char* fen) {
    EgtbTable* t = egtb_find(egtb_material_key(position_from_fen(fen), false));
    return t ? std::tuple<int, bool, int>(t->mat.num, t->mat.symmetric, t->mat.king_encoding) : std::tuple(0, false, -1);
  };
  ASSERT_NE(egtb_find(key), nullptr);
  EXPECT_EQ(egtb_find(swapped), egtb_find(key));
  EXPECT_EQ(shape("8/8/8/8/8/2k2r2/8/KQ6 w - -"), std::tuple(4, false, 0));
  const char* const kbvkb = "8/8/8/8/8/2kb4/8/KB6 w - -";
  EXPECT_EQ(shape(kbvkb), std::tuple(4, true, 0));
  EXPECT_EQ(egtb_material_key(position_from_fen(kbvkb), true), egtb_material_key(position_from_fen(kbvkb), false));
  EXPECT_EQ(shape("8/8/8/8/8/2k5/8/KQQ5 w - -"), std::tuple(4, false, 2));
  EXPECT_EQ(shape("8/8/8/8/8/2k5/8/KQQQ4 w - -"), std::tuple(0, false, -1));
}

TEST(Registry, LeadingPawnColour) {
  TARN_REQUIRE_SHARED("syzygy/KQvK.rtbw");
  setup_capturing("<empty>");
  // The material, any position of it (white as named), the leading colour's
  // pawns and the other's.
  for (auto [name, fen, lead, other] : {
           std::tuple{"KRPvKP", "8/8/8/3p4/8/2k5/3P4/KR6 w - -", 1, 1},  // equal counts: white leads
           {"KPvKPP", "8/8/8/3pp3/8/2k5/3P4/K7 w - -", 1, 2},            // fewer pawns lead
           {"KRvKP", "8/8/8/3p4/8/2k5/8/KR6 w - -", 1, 0},               // only black has pawns
           {"KPPvKP", "8/8/8/3p4/8/2k5/3PP3/K7 w - -", 1, 2}}) {         // black has fewer
    egtb_register(name);
    EgtbTable* t = egtb_find(egtb_material_key(position_from_fen(fen), false));
    ASSERT_NE(t, nullptr) << name;
    EXPECT_EQ((std::pair<int, int>(t->mat.pawns[0], t->mat.pawns[1])), std::pair(lead, other)) << name;
  }
  EXPECT_EQ(egtb_max_pieces, 5u);
}
