// A failed expectation inside a fuzz target: reported, then a crash libFuzzer keeps.
#pragma once
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(cond, what)                                              \
  do {                                                                        \
    if (!(cond)) {                                                            \
      std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, what, #cond); \
      std::abort();                                                           \
    }                                                                         \
  } while (0)
