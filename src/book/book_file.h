#pragma once
// The opening book on disk and the small part of it kept in memory: a page
// index (first record of every 10-bit key prefix) and a window holding one
// prefix group, read on demand. Lookups of nearby keys stay in the window.
#include <cstdint>

#include "book/book_key.h"
#include "book/book_record.h"

constexpr int BOOK_PAGES = 1024;
constexpr int BOOK_WINDOW = 2048;

struct BookState {
  int32_t record_count;              // 0 when there is no usable book
  int32_t page_index[BOOK_PAGES];    // first record of each key16 >> 6, -1 when none
  BookRecord* window;                // consecutive file records of one prefix group
  int32_t window_capacity;
  int32_t window_length;
  int32_t window_prefix;             // key16 >> 6 of the group held, -1 when none
  BookRecord result;                 // copy of the last record found
};

extern BookState book;

// Allocates the window once and empties the index. False when the memory is
// not there (the engine then runs without a book).
bool book_open_buffers();

// Frees the window; the book is unusable afterwards until opened again.
void book_release();

// Replaces the window by one of `records` entries (the book build uses it as
// its batch). False when the memory is not there.
bool book_resize_window(int32_t records);

// Builds the page index from settings.book_file. A missing, empty, truncated
// or unsorted file leaves the book empty, so no move can come from it.
void book_load();

// Finds the position of `key` with the given side to move. Returns the
// result record or null.
const BookRecord* book_lookup(BookKey key, int side);
