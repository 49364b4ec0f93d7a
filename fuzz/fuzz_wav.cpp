// The renderer's WAV reader on any bytes: it accepts or refuses with a
// message, never reads outside the file, and accepted audio is whole frames
// that the writer's encoding gives back unchanged.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/wavfile.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  WavAudio audio;
  std::string error;
  if (!parsewav(bytes, audio, error)) {
    FUZZCHECK(!error.empty());
    return 0;
  }
  FUZZCHECK(audio.samples.size() % 2 == 0);
  FUZZCHECK(audio.samples.size() * 2 <= size);

  WavAudio back;
  FUZZCHECK(parsewav(encodewav(audio.samples), back, error));
  FUZZCHECK(back.samples == audio.samples);
  return 0;
}
