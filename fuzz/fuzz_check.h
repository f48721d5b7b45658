// Shared by the fuzz targets: the input reader, and a check that aborts with
// its text so that libFuzzer keeps the input.
#ifndef QZUTIL_FUZZ_FUZZ_CHECK_H
#define QZUTIL_FUZZ_FUZZ_CHECK_H

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void FuzzFail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "check failed: %s (%s:%d)\n", condition, file, line);
  std::abort();
}
#define FUZZ_CHECK(condition) ((condition) ? void() : FuzzFail(#condition, __FILE__, __LINE__))

#endif  // QZUTIL_FUZZ_FUZZ_CHECK_H
