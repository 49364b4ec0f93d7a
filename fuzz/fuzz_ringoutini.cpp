// ringout.ini through the plug-in's own reading code (file on disk, as
// plugininit reads it): any file gives finite values with decay within 1..4
// and kdecay within -0.99..0.99, and the eight lines the window writes back
// read as the same values (reals within the writer's seven digits).
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/fuzzcheck.h"
#include "ringout/ringoutsettings.h"

namespace {

std::string settingspath() {
  static std::string path = "/tmp/fuzz_ringoutini." + std::to_string(getpid()) + ".ini";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string path = settingspath();
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  static RingoutParams params;
  static RingoutPlace place;
  FUZZCHECK(ringoutreadsettings(path.c_str(), params, place) == 0);
  for (float r : {params.gain.load(), params.decay.load(), params.tdecay.load(), params.kdecay.load(),
                  params.rate.load()})
    FUZZCHECK(std::isfinite(r));
  FUZZCHECK(params.decay.load() >= 1.0f && params.decay.load() <= 4.0f);
  FUZZCHECK(std::fabs(params.kdecay.load()) <= 0.99f);

  static RingoutParams again;
  static RingoutPlace againplace;
  ringoutsettingsfromtext(ringoutsettingstext(params, place), again, againplace);
  FUZZCHECK(closeinsevendigits(again.gain.load(), params.gain.load()));
  FUZZCHECK(closeinsevendigits(again.decay.load(), params.decay.load()));
  FUZZCHECK(closeinsevendigits(again.tdecay.load(), params.tdecay.load()));
  FUZZCHECK(closeinsevendigits(again.kdecay.load(), params.kdecay.load()));
  FUZZCHECK(closeinsevendigits(again.rate.load(), params.rate.load()));
  FUZZCHECK(again.tdecayon.load() == params.tdecayon.load());
  FUZZCHECK(againplace.x.load() == place.x.load() && againplace.y.load() == place.y.load());
  std::remove(path.c_str());
  return 0;
}
