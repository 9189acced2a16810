#include "frontend/text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

int clamp_int(long long value, int low, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return static_cast<int>(value);
}

long long read_int64(const char* text) {
  // strtoll saturates on overflow instead of wrapping; the digits-only rule
  // ("12abc" is 12, "abc" is 0) is its ordinary behaviour.
  errno = 0;
  return std::strtoll(text, nullptr, 10);
}

int read_int_clamped(const char* text, int low, int high) {
  return clamp_int(read_int64(text), low, high);
}

double read_double(const char* text) {
  double value = std::strtod(text, nullptr);
  // Infinity or NaN would poison every time computation downstream.
  if (!(value > -1e12 && value < 1e12)) return 0.0;
  return value;
}

void copy_text(char* out, int capacity, const char* text) {
  if (capacity <= 0) return;
  std::strncpy(out, text, static_cast<size_t>(capacity - 1));
  out[capacity - 1] = '\0';
}

void copy_trimmed(char* out, int capacity, const char* begin, const char* end) {
  while (begin < end && *begin == ' ') begin++;
  while (end > begin && end[-1] == ' ') end--;
  long length = end - begin;
  if (length > capacity - 1) length = capacity - 1;
  std::memcpy(out, begin, static_cast<size_t>(length));
  out[length] = '\0';
}

const char* first_word(char* out, int capacity, const char* text) {
  while (*text == ' ') text++;
  int length = 0;
  while (text[length] && text[length] != ' ' && text[length] != '\n') length++;
  int kept = length < capacity - 1 ? length : capacity - 1;
  std::memcpy(out, text, static_cast<size_t>(kept));
  out[kept] = '\0';
  return text + length;
}

bool starts_with(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}
