// The checks of the fuzz targets: a failed one is a finding, reported like a sanitizer's.
#ifndef FUZZ__FUZZ_CHECK_HPP_
#define FUZZ__FUZZ_CHECK_HPP_

#include <cstdio>
#include <cstdlib>

// Aborts, naming the condition, so that libFuzzer saves the input that broke it.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

#endif  // FUZZ__FUZZ_CHECK_HPP_
