#pragma once
// Small text helpers shared by the command interpreters and the
// configuration reader. Numbers follow the engine's one rule: plain decimal
// conversion, text without digits reads as 0, then clamping to the range.
#include <cstdint>

int clamp_int(long long value, int low, int high);

// Leading integer of the text (after spaces, optional sign); 0 when there is
// none. Values beyond the range are clamped to it, never overflowing.
int read_int_clamped(const char* text, int low, int high);
long long read_int64(const char* text);
double read_double(const char* text);

// Copies at most capacity - 1 characters and terminates.
void copy_text(char* out, int capacity, const char* text);

// Copies [begin, end) without leading and trailing spaces.
void copy_trimmed(char* out, int capacity, const char* begin, const char* end);

// The first word of the text (leading spaces skipped, ended by a space, a
// line feed or the end). Returns the position after it.
const char* first_word(char* out, int capacity, const char* text);

// True when the text begins with the prefix.
bool starts_with(const char* text, const char* prefix);
