// Damaged table files: truncated at any length, or with a wrong magic
// number. Probes must fail or answer within range, never read outside the
// mapped file (run under AddressSanitizer to see the reads) and never bring
// the engine down. Flipped bytes and random contents are the tablebase fuzz
// target's (tests/fuzz).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void write_file(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

struct Material {
  const char* name;
  std::vector<int> codes;  // kings first
};

// A pawnless table, a table with pawns, and a symmetric one.
const Material materials[] = {
    {"KQvKR", {6, 14, 5, 12}},
    {"KRvKP", {6, 14, 4, 9}},
    {"KPvKP", {6, 14, 1, 9}},
};

// Positions of the three materials (both colour orientations), fixed once.
std::vector<EgtbPosition> probe_positions() {
  std::vector<EgtbPosition> positions;
  std::mt19937_64 rng(99);
  for (const Material& m : materials)
    for (int swap = 0; swap < 2; swap++)
      for (int found = 0; found < 40;) {
        std::vector<int> codes = m.codes, squares;
        if (swap)
          for (int& c : codes) c ^= 8;
        for (size_t i = 0; i < codes.size(); i++) squares.push_back((int)(rng() % 64));
        EgtbPosition pos;
        if (!place(&pos, codes.data(), squares.data(), (int)codes.size(), rng() & 1)) continue;
        if ((pos.pawns & 0xFF000000000000FFULL) || !egtb_root_position_valid(pos)) continue;
        positions.push_back(pos);
        found++;
      }
  return positions;
}

// Probes everything once; every answer that claims success is in range.
void probe_all(const std::vector<EgtbPosition>& positions) {
  for (const EgtbPosition& pos : positions) {
    int success;
    int w = egtb_probe_wdl(pos, &success);
    if (success) {
      EXPECT_GE(w, -2);
      EXPECT_LE(w, 2);
    }
    egtb_probe_dtz(pos, &success);
    int dtz;
    EgtbMove move;
    int r = egtb_root_choice(pos, &dtz, &move);
    EXPECT_GE(r, -1);
    EXPECT_LE(r, 4);
  }
}

class Corrupt : public ::testing::Test {
 protected:
  fs::path dir;
  std::vector<std::pair<std::string, Bytes>> originals;
  std::vector<EgtbPosition> positions;

  void SetUp() override {
    if (!tarn_test::shared_exists("syzygy/KQvKR.rtbw")) GTEST_SKIP() << "shared tables missing";
    init_attack_tables();  // the validity test of the probe positions looks for checks
    dir = fs::temp_directory_path() / ("tarn_tb_corrupt_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const Material& m : materials)
      for (const char* suffix : {".rtbw", ".rtbz"}) {
        std::string file = std::string(m.name) + suffix;
        originals.push_back({file, read_file(syzygy_dir() + "/" + file)});
      }
    positions = probe_positions();
  }
  void TearDown() override {
    setup_capturing("<empty>");
    fs::remove_all(dir);
  }
  // Writes every table, passing each through `damage`, sets up and probes.
  template <typename Damage>
  void run(Damage damage) {
    for (auto& [file, bytes] : originals) write_file(dir / file, damage(file, bytes));
    // The damage reports on standard error are expected; keep them out of the log.
    ::testing::internal::CaptureStderr();
    setup_capturing(dir.string());
    probe_all(positions);
    ::testing::internal::GetCapturedStderr();
  }
};

}  // namespace

TEST_F(Corrupt, IntactCopiesAnswerEverything) {
  run([](const std::string&, const Bytes& b) { return b; });
  int answered = 0;
  for (const EgtbPosition& pos : positions) {
    int success;
    egtb_probe_wdl(pos, &success);
    answered += success != 0;
  }
  // Captures can lead to tables not copied here; most positions need none.
  EXPECT_GT(answered, (int)positions.size() / 2);
}

TEST_F(Corrupt, TruncatedAtEveryHeaderLengthAndBeyond) {
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 160; n++) lengths.push_back(n);
  for (size_t n = 170; n < 2000; n = n * 5 / 4) lengths.push_back(n);
  for (size_t n : lengths) {
    run([n](const std::string&, const Bytes& b) { return Bytes(b.begin(), b.begin() + std::min(n, b.size())); });
    if (HasFailure()) return;
  }
  // Cuts in the data area: some lookups still work, none read past the end.
  for (int part = 1; part < 8; part++) {
    run([part](const std::string&, const Bytes& b) { return Bytes(b.begin(), b.begin() + b.size() * part / 8); });
    run([](const std::string&, const Bytes& b) { return Bytes(b.begin(), b.end() - 1); });
  }
}

TEST_F(Corrupt, WrongMagicIsReportedOnceAndDisablesTheTable) {
  run([](const std::string&, const Bytes& b) {
    Bytes d = b;
    d[0] ^= 0xFF;
    return d;
  });
  EgtbPosition pos = position_from_fen("8/8/8/8/8/2k2r2/8/KQ6 w - -");
  ::testing::internal::CaptureStderr();
  int success;
  egtb_probe_wdl(pos, &success);
  EXPECT_EQ(success, 0);
  egtb_probe_wdl(pos, &success);
  // The colour-reversed material reaches the same record: still no retry.
  egtb_probe_wdl(position_from_fen("8/8/8/8/8/2k2R2/8/Kq6 b - -"), &success);
  EXPECT_EQ(success, 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");  // already reported during the set-up probes
  // A fresh set-up reports it at the first use, exactly once.
  setup_capturing(dir.string());
  ::testing::internal::CaptureStderr();
  egtb_probe_wdl(pos, &success);
  egtb_probe_wdl(pos, &success);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Corrupted table.\n");
  // A file that vanished after discovery is reported by name.
  setup_capturing(dir.string());
  fs::remove(dir / "KQvKR.rtbw");
  ::testing::internal::CaptureStderr();
  egtb_probe_wdl(pos, &success);
  egtb_probe_wdl(pos, &success);
  EXPECT_EQ(success, 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Could not find KQvKR.rtbw\n");
}
