#pragma once
// Counting positions into a sorted in-memory batch and merging sorted record
// files, the two steps that let a book grow larger than memory.
#include <cstdint>
#include <cstdio>

#include "book/book_record.h"

constexpr int BOOK_BATCH = 20000;

// The batch lives in the book window (see book_resize_window).
struct BookBatch {
  BookRecord* records;
  int32_t capacity;
  int32_t count;
};

// Returns the record of (key16, key32), inserting a zeroed one at its sorted
// place when absent; null when the batch is full and the key is new.
BookRecord* batch_find_or_insert(BookBatch& batch, uint16_t key16, uint32_t key32);

// Merges two sorted record streams into `out` in book order; records with
// equal keys become one with capped sums (reserved taken from `first`).
// Either input may be null (empty) or an in-memory array.
struct RecordSource {
  FILE* file;
  const BookRecord* array;
  int32_t array_count;
  int32_t next;
  BookRecord current;
  bool has;
};
RecordSource source_of_file(FILE* file);
RecordSource source_of_array(const BookRecord* records, int32_t count);
bool merge_records(RecordSource& first, RecordSource& second, FILE* out);

// Merges the batch into "tmp.opn" (through "tmp__0.opn") and empties it.
void batch_flush(BookBatch& batch);

// Merges "tmp.opn" into "book.opn".
void book_merge();

// Keeps only records of at least `min_games` games in "book.opn".
void book_prune(int min_games);
