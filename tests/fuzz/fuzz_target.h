#pragma once
// One fuzz target per kind of input the engine reads. A target file defines
// its entry with TARN_FUZZ_TARGET(name) { ... }. Built for libFuzzer
// (TARN_LIBFUZZER, make fuzz) the entry is the fuzzer's
// LLVMFuzzerTestOneInput; in the normal build it is registered under its
// name, and the replay test feeds it every saved input of that name.
// An entry aborts when a property it checks fails, so the fuzzer and the
// replay test both see more than crashes.
#include <cstddef>
#include <cstdint>

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

// The replay test's table of targets by name.
bool register_fuzz_target(const char* name, FuzzEntry entry);

#ifdef TARN_LIBFUZZER
#define TARN_FUZZ_ENTRY(name)                                               \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    return fuzz_##name(data, size);                                         \
  }
#else
#define TARN_FUZZ_ENTRY(name) \
  [[maybe_unused]] static const bool fuzz_registered_##name = register_fuzz_target(#name, fuzz_##name);
#endif
#define TARN_FUZZ_TARGET(name)                                \
  static int fuzz_##name(const uint8_t* data, size_t size);   \
  TARN_FUZZ_ENTRY(name)                                       \
  static int fuzz_##name(const uint8_t* data, size_t size)

// A property the target checks; a failure aborts with the reason, which
// the fuzzer reports as a crash with the input that caused it.
#define FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : fuzz_failure(#condition, __FILE__, __LINE__))
[[noreturn]] void fuzz_failure(const char* condition, const char* file, int line);
