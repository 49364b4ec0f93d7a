// fuzzcheck.h: what a fuzz target asserts beyond "no sanitizer report".
// A broken property aborts, so libFuzzer keeps the input as a crash.
#pragma once
#include <cstdio>
#include <cstdlib>

#define FUZZCHECK(cond)                                                      \
  do {                                                                       \
    if (!(cond)) {                                                           \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                          \
    }                                                                        \
  } while (0)

#include <cmath>

// A real written with seven significant digits and read back as a float: off
// by at most half a unit in the seventh digit plus the float's own rounding
// (a float needs nine digits to come back exactly).
inline bool closeinsevendigits(float back, float written) {
  return std::fabs(back - written) <= 6e-7f * std::fabs(written) + 1e-44f || (back == 0.0f && written == 0.0f);
}
