#include "book/book_merge.h"

#include <cstring>

#include "core/output.h"

namespace {

void advance(RecordSource& s) {
  if (s.file) {
    s.has = read_record(s.file, &s.current);
  } else if (s.array && s.next < s.array_count) {
    s.current = s.array[s.next++];
    s.has = true;
  } else {
    s.has = false;
  }
}

// Progress marks share the line; whole lines go through print_line.
void progress(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

}  // namespace

RecordSource source_of_file(FILE* file) {
  RecordSource s{file, nullptr, 0, 0, {}, false};
  if (file) advance(s);
  return s;
}

RecordSource source_of_array(const BookRecord* records, int32_t count) {
  RecordSource s{nullptr, records, count, 0, {}, false};
  advance(s);
  return s;
}

BookRecord* batch_find_or_insert(BookBatch& batch, uint16_t key16, uint32_t key32) {
  BookRecord probe{key16, key32, 0, 0, 0, 0};
  int lo = 0, hi = batch.count;  // first index whose record does not come before probe
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (record_order(batch.records[mid], probe) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  if (lo < batch.count && record_order(batch.records[lo], probe) == 0) return &batch.records[lo];
  if (batch.count >= batch.capacity) return nullptr;
  std::memmove(&batch.records[lo + 1], &batch.records[lo],
               sizeof(BookRecord) * size_t(batch.count - lo));
  batch.records[lo] = probe;
  batch.count++;
  return &batch.records[lo];
}

bool merge_records(RecordSource& first, RecordSource& second, FILE* out) {
  bool ok = true;
  while (first.has || second.has) {
    int order = !second.has ? -1 : !first.has ? 1 : record_order(first.current, second.current);
    if (order < 0) {
      ok &= write_record(out, first.current);
      advance(first);
    } else if (order > 0) {
      ok &= write_record(out, second.current);
      advance(second);
    } else {
      BookRecord sum = first.current;
      sum.losses = capped_sum(first.current.losses, second.current.losses);
      sum.wins = capped_sum(first.current.wins, second.current.wins);
      sum.draws = capped_sum(first.current.draws, second.current.draws);
      ok &= write_record(out, sum);
      advance(first);
      advance(second);
    }
  }
  return ok;
}

void batch_flush(BookBatch& batch) {
  FILE* out = std::fopen("tmp__0.opn", "wb");
  if (out) {
    FILE* old = std::fopen("tmp.opn", "rb");
    RecordSource file_side = source_of_file(old);
    RecordSource memory_side = source_of_array(batch.records, batch.count);
    merge_records(file_side, memory_side, out);
    if (old) std::fclose(old);
    std::fclose(out);
    std::remove("tmp.opn");
    std::rename("tmp__0.opn", "tmp.opn");
    progress(".");
  }
  // Without a work file the counts of this batch are lost; emptying it
  // anyway keeps the batch from overflowing on the next games.
  batch.count = 0;
}

void book_merge() {
  FILE* counts = std::fopen("tmp.opn", "rb");
  if (!counts) return;
  FILE* out = std::fopen("tmp__0.opn", "wb");
  if (!out) {
    std::fclose(counts);
    return;
  }
  print_line("");
  progress("merging...");
  FILE* old = std::fopen("book.opn", "rb");
  RecordSource book_side = source_of_file(old);
  RecordSource count_side = source_of_file(counts);
  merge_records(book_side, count_side, out);
  if (old) std::fclose(old);
  std::fclose(counts);
  std::fclose(out);
  std::remove("book.opn");
  std::remove("tmp.opn");
  std::rename("tmp__0.opn", "book.opn");
  print_line("");
}

void book_prune(int min_games) {
  FILE* in = std::fopen("book.opn", "rb");
  if (!in) return;
  FILE* out = std::fopen("tmp.opn", "wb");
  if (!out) {
    std::fclose(in);
    return;
  }
  progress("pruning...");
  BookRecord r;
  while (read_record(in, &r)) {
    if (int(r.losses) + r.wins + r.draws >= min_games) write_record(out, r);
  }
  std::fclose(in);
  std::fclose(out);
  std::remove("book.opn");
  std::rename("tmp.opn", "book.opn");
  print_line("");
}
