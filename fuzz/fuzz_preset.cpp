// A preset file (*.dspquarn) on any text, through the program's own reader:
// what it then writes reads back as the same values (reals within the
// writer's seven digits), and the ranged values stay in range.
#include <cstdint>
#include <string>

#include "app/settings/presetfile.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  settingsdefaults();
  readpresettext(std::string_view(reinterpret_cast<const char *>(data), size));
  FUZZCHECK(engine.buffersize >= 150 && engine.buffersize <= 16000);

  const std::string written = writepresettext();
  readpresettext(written);
  FUZZCHECK(samenumberlines(written, writepresettext()));
  return 0;
}
