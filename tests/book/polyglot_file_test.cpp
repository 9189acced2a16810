#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "book/polyglot_file.h"
#include "book_test_support.h"

using namespace book_test;

namespace {

// Runs of one to five entries per key, keys spread over the whole range
// (0 and the largest key included), in ascending order.
std::vector<RawEntry> sample_entries() {
  std::vector<RawEntry> entries;
  for (uint64_t i = 0; i < 700; i++) {
    uint64_t key = i == 0 ? 0 : i == 699 ? ~0ull : i * 0x9E3779B97F4A7C15ull;
    for (uint16_t j = 0; j <= i % 5; j++)  // every byte of every field in use
      entries.push_back({key, uint16_t(i * 91 + j), uint16_t(0x0101 * (j + 1)), uint32_t(i * 0x01030507u)});
  }
  sort_by_key(entries);
  return entries;
}

std::vector<PolyglotEntry> lookup(uint64_t key) {
  PolyglotEntry out[POLYGLOT_MAX_ENTRIES];
  return std::vector<PolyglotEntry>(out, out + polyglot_entries(polyglot_book, key, out));
}

}  // namespace

TEST(PolyglotFile, NamedByItsExtension) {
  for (auto [name, named] : {std::pair{"books/x.bin", true}, {"x.bin.opn", false}, {"bin", false}})
    EXPECT_EQ(polyglot_named(name), named) << name;
}

// Every run is found whole and in order (keys, moves, weights and learn
// values big-endian), absent keys give nothing, from a buffer and from a
// file alike.
TEST(PolyglotFile, EveryPositionFoundFromBufferAndFile) {
  ScratchDir dir;
  std::vector<RawEntry> entries = sample_entries();
  Bytes bytes = book_bytes(entries);
  write_file("book.bin", bytes);
  std::map<uint64_t, std::vector<RawEntry>> runs;
  for (const RawEntry& e : entries) runs[e.key].push_back(e);
  for (bool from_file : {false, true}) {
    ASSERT_EQ(from_file ? polyglot_open_file("book.bin") : polyglot_open_bytes(bytes.data(), bytes.size()),
              POLYGLOT_OK);
    ASSERT_EQ(polyglot_book.count, int64_t(entries.size()));
    int wrong = 0;
    for (const auto& [key, run] : runs) {
      std::vector<PolyglotEntry> found = lookup(key);
      wrong += found.size() != run.size();
      for (size_t i = 0; i < found.size() && i < run.size(); i++)
        wrong += found[i].move != run[i].move || found[i].weight != run[i].weight || found[i].learn != run[i].learn;
      if (key != ~0ull && !runs.count(key + 1)) wrong += !lookup(key + 1).empty();
    }
    EXPECT_EQ(wrong, 0) << (from_file ? "file" : "buffer");
  }
  polyglot_close();
}

// Damage never crashes: a partial last entry is ignored, unsorted keys and
// file sizes that are not whole entries are refused, a position with more
// entries than any position has moves is cut, and a file shortened after
// it was opened answers with what is still there.
TEST(PolyglotFile, DamagedBooks) {
  ScratchDir dir;
  Bytes bytes = book_bytes(sample_entries());
  ASSERT_EQ(polyglot_open_bytes(bytes.data(), bytes.size() - 9), POLYGLOT_OK);
  EXPECT_EQ(polyglot_book.count, int64_t(bytes.size() / 16 - 1));
  EXPECT_EQ(lookup(~0ull).size(), 4u);  // the last run of five lost its last entry

  Bytes unsorted = book_bytes({{5, 1, 1, 0}, {4, 1, 1, 0}});
  EXPECT_EQ(polyglot_open_bytes(unsorted.data(), unsorted.size()), POLYGLOT_UNSORTED);
  EXPECT_EQ(polyglot_book.count, 0);
  EXPECT_TRUE(lookup(5).empty());

  write_file("short.bin", Bytes(bytes.begin(), bytes.begin() + 40));
  write_file("empty.bin", Bytes());
  std::filesystem::create_directory("folder.bin");
  EXPECT_EQ(polyglot_open_file("short.bin"), POLYGLOT_BAD_SIZE);
  EXPECT_EQ(polyglot_open_file("missing.bin"), POLYGLOT_UNREADABLE);
  EXPECT_EQ(polyglot_open_file("folder.bin"), POLYGLOT_UNREADABLE);
  EXPECT_EQ(polyglot_open_file("empty.bin"), POLYGLOT_OK);
  EXPECT_EQ(polyglot_book.count, 0);

  std::vector<RawEntry> crowded(300, RawEntry{7, 0x0123, 1, 0});
  crowded.push_back({8, 0x0123, 1, 0});
  Bytes many = book_bytes(crowded);
  write_file("many.bin", many);
  ASSERT_EQ(polyglot_open_file("many.bin"), POLYGLOT_OK);
  EXPECT_EQ(lookup(7).size(), 256u);  // the most a position may have
  EXPECT_EQ(lookup(8).size(), 1u);
  std::filesystem::resize_file("many.bin", 16 * 200);
  EXPECT_EQ(lookup(7).size(), 200u);
  EXPECT_TRUE(lookup(8).empty());
  std::filesystem::remove("many.bin");
  EXPECT_TRUE(lookup(7).empty());
  polyglot_close();
}

// The name and size pick the format when the engine loads its book; the
// operator is told why a .bin file is not used as a Polyglot book.
TEST(PolyglotFile, BookLoadSelectsTheFormat) {
  ScratchDir dir;
  Bytes good = book_bytes({{1, 0x0123, 1, 0}, {2, 0x0123, 1, 0}});
  write_file("good.bin", good);
  write_file("unsorted.bin", book_bytes({{2, 0x0123, 1, 0}, {1, 0x0123, 1, 0}}));
  // Three records of our own format: 42 bytes, not whole Polyglot entries.
  std::vector<BookRecord> own = {record_after({"e4"}, 1), record_after({"d4"}, 1), record_after({"c4"}, 1)};
  std::sort(own.begin(), own.end(), [](auto& a, auto& b) { return record_order(a, b) < 0; });
  write_book("own.bin", own);
  settings.protocol = 2;
  // File, Polyglot entries and own records loaded, what the operator is told.
  for (auto [name, entries, records, message] : {
           std::tuple<const char*, int64_t, int32_t, const char*>{"good.bin", 2, 0, ""},
           {"unsorted.bin", 0, 0, "info string unsorted.bin: Polyglot book entries out of order, book not used\n"},
           {"own.bin", 0, 3, "info string own.bin: size not a multiple of 16, not read as a Polyglot book\n"},
           {"missing.bin", 0, 0, ""}}) {
    testing::internal::CaptureStdout();
    load_book(name);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::tuple(polyglot_book.count, book.record_count, printed), std::tuple(entries, records, message))
        << name;
  }
  load_book("good.bin");
  book_release();  // "mkbook" releases the book: no Polyglot book either
  EXPECT_EQ(polyglot_book.count, 0);
}
