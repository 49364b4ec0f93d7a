// The settings file (roomcaster_quarn.ini) on any text, through the program's
// own reader: what it then writes is bounded by what it read (a damaged count
// never makes it write millions of lines), keeps the ranged values in range,
// and reads back as the same values (reals within the writer's seven digits).
#include <cstdint>
#include <string>

#include "app/settings/settingsfile.h"
#include "engine/engine.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  readsettingstext(text);
  FUZZCHECK(engine.buffersize >= 150 && engine.buffersize <= 16000);
  FUZZCHECK(engine.decay >= 1.0f && engine.decay <= 4.0f);
  FUZZCHECK(engine.testgain >= 0.001f && engine.testgain <= 3.0f);
  FUZZCHECK(settings.noisecount <= static_cast<int32_t>(numberlinecount(text)));

  const std::string written = writesettingstext();
  FUZZCHECK(written.size() <= 20 * (numberlinecount(text) + 40));
  readsettingstext(written);
  FUZZCHECK(samenumberlines(written, writesettingstext()));
  return 0;
}
