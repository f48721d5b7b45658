// Shared by the fuzz targets: a check that aborts with its text (libFuzzer
// then keeps the input), and the input reader.
#ifndef QZUTIL_FUZZ_FUZZ_CHECK_H
#define QZUTIL_FUZZ_FUZZ_CHECK_H

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                             \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

#endif  // QZUTIL_FUZZ_FUZZ_CHECK_H
