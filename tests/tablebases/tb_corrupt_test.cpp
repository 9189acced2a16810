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

#include "support/scratch_dir.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe_internal.h"
#include "tb_test_support.h"

using namespace tb_test;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// A pawnless table, a table with pawns, and a symmetric one.
const char* const materials[] = {"KQvKR", "KRvKP", "KPvKP"};
const char* const KQVKR = "8/8/8/8/8/2k2r2/8/KQ6 w - -";

class Corrupt : public ::testing::Test {
 protected:
  tarn_test::ScratchDir scratch{false};
  const fs::path& dir = scratch.path();
  std::vector<std::pair<std::string, Bytes>> originals;
  std::vector<EgtbPosition> positions;  // of the three materials, both colour orientations
  int answered = 0;                     // WDL probes of the last run that succeeded

  void SetUp() override {
    if (!tarn_test::shared_exists("syzygy/KQvKR.rtbw")) GTEST_SKIP() << "shared tables missing";
    std::mt19937_64 rng(99);
    for (const char* name : materials) {
      for (const char* suffix : {".rtbw", ".rtbz"}) {
        std::ifstream in(syzygy_dir() + "/" + name + suffix, std::ios::binary);
        originals.push_back({std::string(name) + suffix, Bytes(std::istreambuf_iterator<char>(in), {})});
      }
      for (int swap : {0, 8}) {
        std::vector<int> codes = codes_of(name);
        for (int& c : codes) c ^= swap;
        for (int found = 0; found < 40; found++) positions.push_back(random_position(codes, rng));
      }
    }
  }
  void TearDown() override { setup_capturing("<empty>"); }
  // Writes every table, passing each through `damage`, sets up and probes
  // everything once: every answer that claims success is in range.
  template <typename Damage>
  void run(Damage damage) {
    for (auto& [file, bytes] : originals) {
      Bytes damaged = damage(file, bytes);
      std::ofstream(dir / file, std::ios::binary | std::ios::trunc)
          .write(reinterpret_cast<const char*>(damaged.data()), (std::streamsize)damaged.size());
    }
    // The damage reports on standard error are expected; keep them out of the log.
    ::testing::internal::CaptureStderr();
    setup_capturing(dir.string());
    answered = 0;
    for (const EgtbPosition& pos : positions) {
      int success, dtz;
      int w = egtb_probe_wdl(pos, &success);
      answered += success != 0;
      EXPECT_TRUE(!success || (w >= -2 && w <= 2)) << w;
      egtb_probe_dtz(pos, &success);
      EgtbMove move;
      int r = egtb_root_choice(pos, &dtz, &move);
      EXPECT_TRUE(r >= -1 && r <= 4) << r;
    }
    ::testing::internal::GetCapturedStderr();
  }
};

}  // namespace

TEST_F(Corrupt, TruncatedAtEveryHeaderLengthAndBeyond) {
  // Intact copies first: captures can lead to tables not copied here, but
  // most positions need none, so the damage below meets real lookups.
  run([](const std::string&, const Bytes& b) { return b; });
  EXPECT_GT(answered, (int)positions.size() / 2);
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 160; n++) lengths.push_back(n);
  for (size_t n = 170; n < 2000; n = n * 5 / 4) lengths.push_back(n);
  for (size_t n : lengths) {
    run([n](const std::string&, const Bytes& b) { return Bytes(b.begin(), b.begin() + std::min(n, b.size())); });
    if (HasFailure()) return;
  }
  // Cuts in the data area: some lookups still work, none read past the end.
  for (int part = 1; part < 8; part++)
    run([part](const std::string&, const Bytes& b) { return Bytes(b.begin(), b.begin() + b.size() * part / 8); });
  run([](const std::string&, const Bytes& b) { return Bytes(b.begin(), b.end() - 1); });
}

TEST_F(Corrupt, WrongMagicIsReportedOnceAndDisablesTheTable) {
  run([](const std::string&, const Bytes& b) {
    Bytes d = b;
    d[0] ^= 0xFF;
    return d;
  });
  EXPECT_EQ(answered, 0);
  // Probes twice (then the colour-reversed material, which reaches the
  // same record, and a KRvKP position) with standard error captured;
  // returns what was reported.
  auto reported = [this] {
    ::testing::internal::CaptureStderr();
    for (const char* fen : {KQVKR, KQVKR, "8/8/8/8/8/2k2R2/8/Kq6 b - -", "8/8/8/8/8/2k5/3p4/KR6 w - -"}) {
      int success;
      egtb_probe_wdl(position_from_fen(fen), &success);
      answered += success != 0;
    }
    return ::testing::internal::GetCapturedStderr();
  };
  EXPECT_EQ(reported(), "");  // already reported during the set-up probes
  // A fresh set-up reports it at the first use, exactly once.
  setup_capturing(dir.string());
  EXPECT_EQ(reported(), "Corrupted table.\nCorrupted table.\n");
  // A file that vanished after discovery is reported by name.
  setup_capturing(dir.string());
  fs::remove(dir / "KQvKR.rtbw");
  EXPECT_EQ(reported(), "Could not find KQvKR.rtbw\nCorrupted table.\n");
  EXPECT_EQ(answered, 0);
}

// Moving every code length's first symbol up by 4096 keeps the code's shape
// (its bases depend only on differences) but makes every code name a symbol
// past the table: each lookup must be refused, not read beyond it.
TEST_F(Corrupt, CodesNamingSymbolsPastTheTableAreRefused) {
  const EgtbPosition pos = position_from_fen(KQVKR);
  auto table = [&pos] { return egtb_find(egtb_material_key(pos, false)); };
  run([](const std::string&, const Bytes& b) { return b; });
  ASSERT_NE(table(), nullptr);
  ASSERT_TRUE(table()->ready);
  std::vector<std::pair<uint64_t, uint32_t>> offsets;  // where in the file, how many lengths
  for (const EgtbPart& part : table()->part[0])
    if (part.decoder.offsets)
      offsets.push_back({(uint64_t)(part.decoder.offsets - table()->view.data),
                         part.decoder.max_len - part.decoder.min_len + 1});
  ASSERT_EQ(offsets.size(), 2u);
  run([&offsets](const std::string& file, const Bytes& b) {
    Bytes d = b;
    if (file == "KQvKR.rtbw")
      for (auto [at, lengths] : offsets)
        for (uint64_t i = at + 1; i < at + 2 * lengths; i += 2) d[i] += 0x10;
    return d;
  });
  ASSERT_TRUE(table()->ready);
  for (const EgtbPart& part : table()->part[0]) {
    const PairDecoder& d = part.decoder;
    for (uint64_t idx = 0; idx < d.table_size; idx += d.table_size / 97 + 1)
      ASSERT_EQ(decode_value(d, idx), -1) << idx;
  }
}
