#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "book_test_support.h"

using namespace book_test;

namespace {

BookRecord rec(uint16_t key16, uint32_t key32, uint16_t wins = 1) {
  return BookRecord{key16, key32, 0, wins, 0, 0};
}

void sort_book(std::vector<BookRecord>& records) {
  std::sort(records.begin(), records.end(),
            [](const BookRecord& a, const BookRecord& b) { return record_order(a, b) < 0; });
}

// key16 with the side bit taken out, as book_key returns it.
BookKey key_of(const BookRecord& r) { return BookKey{uint16_t(r.key16 & 0x7FFF), r.key32}; }
int side_of(const BookRecord& r) { return (r.key16 & 0x8000) ? 0 : 1; }

}  // namespace

TEST(BookFile, EveryRecordIsFoundAndNothingElse) {
  ScratchDir dir;
  std::vector<BookRecord> records;
  // Keys over many prefixes of both sides, with runs of equal key16 that
  // differ only in key32.
  for (uint32_t i = 0; i < 3000; i++) {
    uint16_t key16 = uint16_t((i * 2654435761u) >> 16);
    records.push_back(rec(key16, i * 7919u + 3, uint16_t(i % 1000 + 1)));
    if (i % 5 == 0) records.push_back(rec(key16, i * 7919u + 1, uint16_t(i % 1000 + 2)));
  }
  sort_book(records);
  write_book("tarn.opn", records);
  load_book("tarn.opn");
  ASSERT_EQ(book.record_count, int(records.size()));

  int misses = 0, wrong = 0;
  for (const BookRecord& r : records) {
    const BookRecord* found = book_lookup(key_of(r), side_of(r));
    if (!found) misses++;
    else if (found->wins != r.wins || found->key32 != r.key32) wrong++;
  }
  EXPECT_EQ(misses, 0);
  EXPECT_EQ(wrong, 0);
  // Same key16 and side, a key32 that is not in the file.
  EXPECT_EQ(book_lookup(BookKey{key_of(records[0]).key16, records[0].key32 + 1}, side_of(records[0])), nullptr);
  // The same keys with the other side to move are other positions.
  BookRecord flipped = records[0];
  flipped.key16 ^= 0x8000;
  bool also_there = std::any_of(records.begin(), records.end(),
                                [&](const BookRecord& r) { return record_order(r, flipped) == 0; });
  if (!also_there) {
    EXPECT_EQ(book_lookup(key_of(flipped), side_of(flipped)), nullptr);
  }
}

TEST(BookFile, PrefixGroupLargerThanTheWindow) {
  ScratchDir dir;
  std::vector<BookRecord> records;
  for (uint32_t i = 0; i < 3000; i++) records.push_back(rec(0x8040, 100000 - i));
  records.push_back(rec(0x8000, 5));  // the next lower prefix
  write_book("tarn.opn", records);
  load_book("tarn.opn");
  ASSERT_EQ(book.record_count, 3001);
  EXPECT_NE(book_lookup(BookKey{0x0040, 100000}, 0), nullptr);
  EXPECT_NE(book_lookup(BookKey{0x0040, 100000 - 2047}, 0), nullptr);
  // Only the first 2048 of the group can be reached.
  EXPECT_EQ(book_lookup(BookKey{0x0040, 100000 - 2048}, 0), nullptr);
  EXPECT_NE(book_lookup(BookKey{0x0000, 5}, 0), nullptr);
}

TEST(BookFile, DamagedFilesGiveNoBook) {
  ScratchDir dir;
  std::vector<BookRecord> good = {rec(0x9000, 9), rec(0x9000, 8), rec(0x1000, 7)};
  auto refuses = [&](const char* name) {
    load_book(name);
    return book.record_count == 0 && book_lookup(key_of(good[0]), 0) == nullptr;
  };

  write_book("good.opn", good);
  load_book("good.opn");
  EXPECT_EQ(book.record_count, 3);

  write_text("empty.opn", "");
  EXPECT_TRUE(refuses("empty.opn"));
  write_book("odd.opn", good);
  FILE* f = std::fopen("odd.opn", "ab");
  std::fputc(0, f);
  std::fclose(f);
  EXPECT_TRUE(refuses("odd.opn"));
  write_book("unsorted.opn", {good[1], good[0], good[2]});
  EXPECT_TRUE(refuses("unsorted.opn"));
  write_book("duplicate.opn", {good[0], good[0], good[2]});
  EXPECT_TRUE(refuses("duplicate.opn"));
  std::filesystem::create_directory("folder.opn");
  EXPECT_TRUE(refuses("folder.opn"));
  EXPECT_TRUE(refuses("missing.opn"));
  EXPECT_TRUE(refuses(""));
}

TEST(BookFile, FileVanishingAfterLoading) {
  ScratchDir dir;
  write_book("tarn.opn", {rec(0x9000, 9), rec(0x1000, 7)});
  load_book("tarn.opn");
  ASSERT_NE(book_lookup(BookKey{0x1000, 9}, 0), nullptr);
  std::remove("tarn.opn");
  EXPECT_EQ(book_lookup(BookKey{0x1000, 7}, 1), nullptr);
  // Replaced by other records: the index no longer matches and nothing is used.
  write_book("tarn.opn", {rec(0x3000, 1), rec(0x2000, 7)});
  EXPECT_EQ(book_lookup(BookKey{0x1000, 7}, 1), nullptr);
}
