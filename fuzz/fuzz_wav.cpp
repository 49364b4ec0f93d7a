// The renderer's WAV reader on any bytes: it accepts or refuses with a
// message, never reads outside the file, and accepted audio is whole 16-bit
// stereo frames (a mono file's two channels alike) that the writer's encoding
// gives back unchanged.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/wavfile.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  WavAudio audio;
  std::string error;
  if (!parsewav(bytes, audio, error)) {
    FUZZCHECK(!error.empty());
    return 0;
  }
  FUZZCHECK(audio.samples.size() % 2 == 0);
  FUZZCHECK(audio.channels == 1 || audio.channels == 2);
  // A frame of the file is at least one byte; it becomes four.
  FUZZCHECK(audio.samples.size() / 2 * audio.channels * (audio.bits / 8) <= size);
  if (audio.channels == 1)
    for (size_t i = 0; i < audio.samples.size(); i += 2) FUZZCHECK(audio.samples[i] == audio.samples[i + 1]);

  WavAudio back;
  FUZZCHECK(parsewav(encodewav(audio.samples), back, error));
  FUZZCHECK(back.samples == audio.samples);
  return 0;
}
