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

#include <string>
#include <string_view>

#include "numberlines/numberlines.h"

// Lines in a text as the number-per-line reader counts them.
inline size_t numberlinecount(std::string_view text) {
  NumberLines lines = numberlinesof(text);
  size_t n = 0;
  for (double v; readnumberline(lines, v);) ++n;
  return n;
}

// Two written files hold as many lines, and each line the same number within
// the writer's seven digits.
inline bool samenumberlines(std::string_view a, std::string_view b) {
  NumberLines x = numberlinesof(a), y = numberlinesof(b);
  double u, v;
  for (;;) {
    bool more = readnumberline(x, u);
    if (more != readnumberline(y, v)) return false;
    if (!more) return true;
    if (!(std::fabs(u - v) <= 6e-7 * std::fabs(u) + 1e-44)) return false;
  }
}
