#include <gtest/gtest.h>

#include <algorithm>

#include "book_test_support.h"

using namespace book_test;

namespace {

BookRecord rec(uint16_t key16, uint32_t key32, uint16_t wins = 1) { return BookRecord{key16, key32, 0, wins, 0, 0}; }
BookKey key_of(const BookRecord& r) { return BookKey{uint16_t(r.key16 & 0x7FFF), r.key32}; }
int side_of(const BookRecord& r) { return (r.key16 & 0x8000) ? WHITE : BLACK; }

}  // namespace

TEST(BookFile, EveryRecordIsFoundAndNothingElse) {
  ScratchDir dir;
  std::vector<BookRecord> records;
  // Many prefixes of both sides, with runs of equal key16 differing in key32.
  for (uint32_t i = 0; i < 3000; i++) {
    uint16_t key16 = uint16_t((i * 2654435761u) >> 16);
    records.push_back(rec(key16, i * 7919u + 3, uint16_t(i % 1000 + 1)));
    if (i % 5 == 0) records.push_back(rec(key16, i * 7919u + 1, uint16_t(i % 1000 + 2)));
  }
  std::sort(records.begin(), records.end(), [](auto& a, auto& b) { return record_order(a, b) < 0; });
  write_book("tarn.opn", records);
  load_book("tarn.opn");
  ASSERT_EQ(book.record_count, int(records.size()));
  int wrong = 0;
  for (const BookRecord& r : records) {
    const BookRecord* found = book_lookup(key_of(r), side_of(r));
    wrong += !found || found->wins != r.wins || found->key32 != r.key32;
    wrong += book_lookup(BookKey{key_of(r).key16, r.key32 + 1}, side_of(r)) != nullptr;
  }
  EXPECT_EQ(wrong, 0);
}

TEST(BookFile, PrefixGroupLargerThanTheWindow) {
  ScratchDir dir;
  std::vector<BookRecord> records;
  for (uint32_t i = 0; i < 3000; i++) records.push_back(rec(0x8040, 100000 - i));
  records.push_back(rec(0x8000, 5));
  write_book("tarn.opn", records);
  load_book("tarn.opn");
  EXPECT_NE(book_lookup(BookKey{0x0040, 100000 - 2047}, WHITE), nullptr);
  EXPECT_EQ(book_lookup(BookKey{0x0040, 100000 - 2048}, WHITE), nullptr);  // past the window
  EXPECT_NE(book_lookup(BookKey{0x0000, 5}, WHITE), nullptr);
}

TEST(BookFile, DamagedFilesGiveNoBook) {
  ScratchDir dir;
  std::vector<BookRecord> good = {rec(0x9000, 9), rec(0x9000, 8), rec(0x1000, 7)};
  write_book("good.opn", good);
  load_book("good.opn");
  EXPECT_EQ(book.record_count, 3);
  write_file("empty.opn", std::string());
  write_file("odd.opn", std::string(3 * 14 + 1, '\0'));
  write_book("unsorted.opn", {good[1], good[0], good[2]});
  write_book("twice.opn", {good[0], good[0], good[2]});
  std::filesystem::create_directory("folder.opn");
  load_book("good.opn");
  std::remove("good.opn");  // vanished after loading
  EXPECT_EQ(book_lookup(key_of(good[2]), BLACK), nullptr);
  for (const char* name : {"empty.opn", "odd.opn", "unsorted.opn", "twice.opn", "folder.opn", "missing.opn", ""}) {
    load_book(name);
    EXPECT_EQ(book.record_count, 0) << name;
    EXPECT_EQ(book_lookup(key_of(good[0]), WHITE), nullptr) << name;
  }
}
