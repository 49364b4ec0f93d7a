// The number-per-line reader on any text: every line converts to a finite
// value, the reader ends after the last line, an integer written reads back
// as itself, and a real written reads back within the writer's seven digits.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "numberlines/numberlines.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view text(reinterpret_cast<const char *>(data), size);

  NumberLines lines = numberlinesof(text);
  size_t taken = 0;
  double value;
  while (readnumberline(lines, value)) {
    FUZZCHECK(!std::isnan(value));
    FUZZCHECK(++taken <= size + 1);  // every line consumes at least its ending
  }
  FUZZCHECK(numberlinesatend(lines));
  FUZZCHECK(readintline(lines, 7) == 7);  // past the end: the default

  NumberLines ints = numberlinesof(text), reals = numberlinesof(text);
  for (size_t i = 0; i < taken; ++i) {
    int32_t n = readintline(ints, 0);
    float f = readrealline(reals, 0.0f);
    FUZZCHECK(std::isfinite(f));

    std::string out;
    writeintline(out, n);
    writerealline(out, f);
    NumberLines back = numberlinesof(out);
    FUZZCHECK(readintline(back, n ^ 1) == n);
    FUZZCHECK(closeinsevendigits(readrealline(back, 1.0f), f));
    FUZZCHECK(numberlinesatend(back));
  }
  return 0;
}
