// wavfile.h: reading the WAV files people have, writing the engine's format.
//
//   WavAudio audio; std::string error;
//   if (!readwav("in.wav", audio, error)) { report(error); }   // any kind below, as 16-bit stereo
//   if (!writewav("out.wav", audio.samples, error)) { report(error); }
//
// Reading accepts 44100 Hz files, mono or stereo, in these sample formats
// (format tag 1 or 3, or the extensible form with the PCM or float sub-format):
// PCM with 8, 16, 24 or 32 bits per sample, and 32-bit float. Every other file
// is refused with one line naming the problem; a file at another rate is refused
// with its rate named (nothing is resampled).
//
// What is read becomes the engine's format, 16-bit stereo, at the input:
//   mono       each sample goes to both channels, unchanged
//   8-bit      unsigned: (v - 128) * 256, exact
//   16-bit     unchanged
//   24-bit     v / 256 rounded to the nearest whole number, an exact half to the
//              even one; a result of 32768 becomes 32767
//   32-bit     v / 65536, rounded and limited the same way
//   float      v * 32768 rounded the same way, then limited to -32768..32767
//              (so -1.0 gives -32768 and +1.0 gives 32767); NaN gives 0
// No dither is added. The extensible form is read by its container size (a
// 24-bit sample in a 32-bit container is read as 32-bit, which is exact).
//
// Writing produces 16-bit PCM stereo 44100 Hz. It goes to a temporary file
// beside the target and renames it over the target, so an existing file is
// either replaced whole or left untouched.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct WavAudio {
  std::vector<int16_t> samples;  // interleaved left, right; 2 x frames, 16-bit
  int channels = 0;              // the file's: 1 or 2
  int bits = 0;                  // the file's bits per sample: 8, 16, 24 or 32
  bool isfloat = false;          // the file's samples are 32-bit float
};

bool parsewav(const std::vector<uint8_t> &bytes, WavAudio &audio, std::string &error);
bool readwav(const std::string &path, WavAudio &audio, std::string &error);

std::vector<uint8_t> encodewav(const std::vector<int16_t> &samples);
bool writewav(const std::string &path, const std::vector<int16_t> &samples, std::string &error);

// One sample of the file's format as 16 bits, by the rules above (p: its bytes,
// little-endian). Exposed so the conversions can be checked on their own.
int16_t wavsample16(const uint8_t *p, int bits, bool isfloat);
