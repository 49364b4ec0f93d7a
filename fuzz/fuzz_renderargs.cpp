// The renderer's command line: the input is split at NUL bytes into
// arguments. Whatever it holds, the parser accepts with every value within
// its range, or refuses with a message.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/render/render.h"
#include "engine/wavfile.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<std::string> args{"roomcaster_render"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (size > 0) args.push_back(current);
  if (args.size() > 64) return 0;
  std::vector<char *> argv;
  for (std::string &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  RenderOptions o;
  std::string error;
  if (!parserenderoptions(static_cast<int>(args.size()), argv.data(), o, error)) {
    FUZZCHECK(!error.empty());
    return 0;
  }
  if (o.help) return 0;
  FUZZCHECK(o.buffersize >= 150 && o.buffersize <= 16000);
  FUZZCHECK(o.plugins.size() <= 6);
  FUZZCHECK(o.rate == 0 || (o.rate >= wavlowestrate && o.rate <= wavhighestrate));
  for (const auto &[name, value] : o.sets) {
    FUZZCHECK(value == value);
    applyenginevalue(name, value);
  }
  return 0;
}
