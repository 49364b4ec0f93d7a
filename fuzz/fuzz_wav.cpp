// The renderer's WAV reader on any bytes: it accepts or refuses with a
// message, never reads outside the file, and accepted audio is whole 16-bit
// stereo frames (a mono file's two channels alike) that the writer's encoding
// gives back unchanged, at the file's rate. Read a few frames at a time, the
// same bytes give the same frames, and the unrounded values round to them.
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

  FUZZCHECK(audio.rate >= wavlowestrate && audio.rate <= wavhighestrate);

  WavAudio back;
  FUZZCHECK(parsewav(encodewav(audio.samples, audio.rate), back, error));
  FUZZCHECK(back.samples == audio.samples);
  FUZZCHECK(back.rate == audio.rate);

  WavReader reader;
  FUZZCHECK(openwavmemory(data, size, reader, error));
  std::vector<int16_t> stepped;
  int16_t block[2 * 7];
  double real[2 * 5];
  size_t got = 0;
  for (int turn = 0;; ++turn) {
    if (turn % 2 == 0) {
      FUZZCHECK(readwav16(reader, block, 7, got, error));
      stepped.insert(stepped.end(), block, block + 2 * got);
    } else {
      FUZZCHECK(readwavreal(reader, real, 5, got, error));
      for (size_t i = 0; i < 2 * got; ++i) stepped.push_back(roundsample16(real[i]));
    }
    if (got == 0) break;
  }
  FUZZCHECK(stepped == audio.samples);
  FUZZCHECK(reader.warning == audio.warning);
  return 0;
}
