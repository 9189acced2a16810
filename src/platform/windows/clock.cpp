#include "platform/clock.h"

#include <windows.h>

double monotonic_seconds() {
  static const double ticks_per_second = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticks_per_second;
}

unsigned long long wall_clock_ms() {
  // File time counts 100 ns steps since 1601; the seed only needs milliseconds.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return ticks.QuadPart / 10000;
}

void sleep_ms(int milliseconds) {
  // Alertable, so a completion routine queued to this thread can run.
  SleepEx(static_cast<DWORD>(milliseconds), TRUE);
}
