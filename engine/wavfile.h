// wavfile.h: reading the WAV files people have, writing the engine's format.
//
//   WavAudio audio; std::string error;
//   if (!readwav("in.wav", audio, error)) { report(error); }   // any kind below, as 16-bit stereo
//   if (!writewav("out.wav", audio.samples, error)) { report(error); }
//
// Or a block at a time, so a long file never sits in memory ("-" is stdin/stdout):
//
//   WavReader in;  if (!openwavreader("-", in, error)) ...         // in.rate, in.frames
//   WavWriter out; if (!openwavwriter("out.wav", in.rate, in.frames, out, error)) ...
//   size_t got;    while (readwav16(in, block, 400, got, error) && got > 0) writewav16(out, block, got, error);
//   if (error.empty() && closewavwriter(out, error)) ... else abandonwavwriter(out);
//   if (!in.warning.empty()) report(in.warning);
//   closewavreader(in);
//
// Reading accepts files at 8000 to 192000 frames per second, mono or stereo,
// in these sample formats (format tag 1 or 3, or the extensible form with the
// PCM or float sub-format): PCM with 8, 16, 24 or 32 bits per sample, and
// 32-bit float. Every other file is refused with one line naming the problem.
// A data size of 0xFFFFFFFF or 0 (what a program writing to a pipe puts there)
// is read as "to the end of the file", with a warning; an incomplete frame at
// that end is dropped, with a warning. A stated data size that the file does
// not hold is refused as truncated.
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
// readwavreal gives the same values before the rounding (in 16-bit units, as
// doubles), for a path that rounds only once, later (the resampler's).
//
// Writing produces 16-bit PCM stereo at the rate given (44100 Hz by default).
// A file goes to a temporary file beside the target and is renamed over it, so
// an existing file is either replaced whole or left untouched; a device or a
// pipe given by name (/dev/null) is written directly, as stdout is. On stdout the
// sizes are the frames announced at the open; unknown, they are the
// placeholder 0xFFFFFFFF.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr int wavlowestrate = 8000, wavhighestrate = 192000;
constexpr uint64_t wavunknownframes = ~uint64_t{0};

struct WavAudio {
  std::vector<int16_t> samples;  // interleaved left, right; 2 x frames, 16-bit
  int channels = 0;              // the file's: 1 or 2
  int bits = 0;                  // the file's bits per sample: 8, 16, 24 or 32
  bool isfloat = false;          // the file's samples are 32-bit float
  int rate = 0;                  // the file's frames per second
  std::string warning;           // a placeholder data size was read to the end
};

bool parsewav(const std::vector<uint8_t> &bytes, WavAudio &audio, std::string &error);
bool readwav(const std::string &path, WavAudio &audio, std::string &error);

std::vector<uint8_t> encodewav(const std::vector<int16_t> &samples, int rate = 44100);
bool writewav(const std::string &path, const std::vector<int16_t> &samples, std::string &error, int rate = 44100);

// A WAV file read a block at a time, from a file, stdin ("-") or memory.
struct WavReader {
  int channels = 0, bits = 0, rate = 0;
  bool isfloat = false;
  uint64_t frames = wavunknownframes;  // the stated frames; unknown for a placeholder size
  std::string warning;                 // set once the placeholder's end was reached
  // Private to the reader.
  std::string name;                    // for messages: the path, or "stdin"
  FILE *file = nullptr;
  bool ownsfile = false;
  const uint8_t *memory = nullptr;
  size_t memorysize = 0, memorypos = 0;
  size_t framebytes = 0;
  uint64_t bytesleft = 0;              // of the stated data size
  bool toend = false;                  // a placeholder size: read to the end
  uint32_t placeholder = 0;
  uint64_t framesread = 0;
  std::vector<uint8_t> buffer;
};

// Opens and reads the header up to the audio; false with the problem in error.
bool openwavreader(const std::string &path, WavReader &reader, std::string &error);
bool openwavmemory(const uint8_t *bytes, size_t size, WavReader &reader, std::string &error);
// Up to `frames` frames as 16-bit stereo (2 values per frame) into out; `got`
// is how many (0 at the end). False on a read error or a truncated file.
bool readwav16(WavReader &reader, int16_t *out, size_t frames, size_t &got, std::string &error);
bool readwavreal(WavReader &reader, double *out, size_t frames, size_t &got, std::string &error);
void closewavreader(WavReader &reader);

// 16-bit stereo written a block at a time, to a file or stdout ("-").
struct WavWriter {
  std::string path, temp;
  FILE *file = nullptr;
  bool tostdout = false;  // stdout, or a device or pipe: written straight, sizes as announced
  int rate = 44100;
  uint64_t announced = wavunknownframes, frames = 0;
  std::vector<uint8_t> buffer;
};

bool openwavwriter(const std::string &path, int rate, uint64_t frames, WavWriter &writer, std::string &error);
bool writewav16(WavWriter &writer, const int16_t *samples, size_t frames, std::string &error);
// Sets the sizes (a file) and puts the file in place of the target.
bool closewavwriter(WavWriter &writer, std::string &error);
// After a failure: the temporary file goes, the target stays as it was.
void abandonwavwriter(WavWriter &writer);

// One sample of the file's format as 16 bits, by the rules above (p: its bytes,
// little-endian). Exposed so the conversions can be checked on their own.
int16_t wavsample16(const uint8_t *p, int bits, bool isfloat);
// The same sample in 16-bit units before rounding (8: exact, 24: v / 256, ...).
double wavsamplereal(const uint8_t *p, int bits, bool isfloat);
// A value in 16-bit units rounded as float samples are: to the nearest, an
// exact half to the even one, limited to -32768..32767; NaN gives 0.
int16_t roundsample16(double value);
