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
