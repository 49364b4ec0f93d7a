// WAV files: the engine's format is read and written exactly; the other kinds
// people have become 16-bit stereo by the stated rules; everything else is
// refused with a message naming the problem; writing never leaves a
// half-written file behind.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "engine/wavfile.h"
#include "tests/engine/wavmaker.h"

namespace {

std::vector<uint8_t> withfield(std::vector<uint8_t> b, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
  return b;
}

// (The extensible form of each kind: the render test, whole files.)
TEST(WavFile, SkipsAnOddSizedUnknownChunk) {
  std::vector<int16_t> s = {5, -5, 6, -6};
  std::vector<uint8_t> b = encodewav(s);
  // Insert an odd-sized LIST chunk (padded) between fmt and data.
  std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  b.insert(b.begin() + 36, list.begin(), list.end());
  WavAudio a;
  std::string error;
  ASSERT_TRUE(parsewav(b, a, error)) << error;
  EXPECT_EQ(a.samples, s);
}

// The edges of each conversion: exact halves go to the even neighbour, the top
// saturates, float is scaled by 32768 and limited.
TEST(WavFile, SamplesOfEachFormatBecome16BitsByTheStatedRules) {
  struct Case {
    int bits;
    bool isfloat;
    int64_t raw;  // the sample's bits
    int16_t expected;
  } cases[] = {
      {8, false, 0, -32768},           {8, false, 128, 0},               {8, false, 255, 32512},
      {16, false, 0x8000, -32768},     {16, false, 0x7FFF, 32767},       {16, false, 0xFFFF, -1},
      {24, false, 0x000080, 0},        {24, false, 0x000180, 2},         {24, false, 0x00017F, 1},
      {24, false, 0x000181, 2},        {24, false, 0xFFFF80, 0},         {24, false, 0xFFFE80, -2},
      {24, false, 0x7FFF7F, 32767},    {24, false, 0x7FFF80, 32767},     {24, false, 0x800000, -32768},
      {32, false, 0x00008000, 0},      {32, false, 0x00018000, 2},       {32, false, 0x00018001, 2},
      {32, false, 0x7FFFFFFF, 32767},  {32, false, 0x80000000, -32768},  {32, false, 0xFFFF7FFF, -1},
  };
  for (const Case &c : cases) {
    const std::vector<uint8_t> b = samplebytes({c.raw}, c.bits);
    EXPECT_EQ(wavsample16(b.data(), c.bits, false), c.expected) << c.bits << "-bit 0x" << std::hex << c.raw;
  }
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float value;
    int16_t expected;
  } floats[] = {{1.0f, 32767},         {-1.0f, -32768},        {0.5f, 16384},          {2.0f, 32767},
                {-3.0f, -32768},       {inf, 32767},           {-inf, -32768},         {std::nanf(""), 0},
                {0.5f / 32768, 0},     {1.5f / 32768, 2},      {-1.5f / 32768, -2},    {0.49f / 32768, 0},
                {32766.5f / 32768, 32766}, {-32767.5f / 32768, -32768}};
  for (const auto &f : floats) {
    const std::vector<uint8_t> b = samplebytes({std::bit_cast<uint32_t>(f.value)}, 32);
    EXPECT_EQ(wavsample16(b.data(), 32, true), f.expected) << f.value;
  }
}

TEST(WavFile, RefusesOtherFormatsNamingTheProblem) {
  std::vector<uint8_t> good = encodewav({1, 2, 3, 4});
  const std::vector<uint8_t> four = samplebytes({0, 0, 0, 0}, 16);
  std::vector<uint8_t> otherguid = wavbytes(1, 2, 44100, 16, four, true);
  otherguid[52] ^= 1;  // a byte of the sub-format GUID's fixed tail
  struct Case {
    std::vector<uint8_t> bytes;
    const char *words;
  } cases[] = {
      {{'n', 'o', 'p', 'e'}, "not a WAV file"},
      {withfield(good, 20, 2, 2), "not PCM or float audio (format tag 2)"},
      {otherguid, "another sub-format"},
      {wavbytes(1, 4, 44100, 16, samplebytes({0, 0, 0, 0}, 16)), "not mono or stereo (4 channels)"},
      {withfield(good, 24, 7999, 4), "the sample rate is 7999 Hz; 8000 to 192000 Hz"},
      {wavbytes(1, 1, 192001, 24, samplebytes({0}, 24), true), "the sample rate is 192001 Hz"},
      {withfield(good, 34, 12, 2), "12-bit PCM cannot be read"},
      {wavbytes(3, 1, 44100, 64, std::vector<uint8_t>(8)), "64-bit float cannot be read"},
      {withfield(good, 32, 6, 2), "does not add up (6 bytes per frame for 2 x 16 bits)"},
      {withfield(good, 40, 1000, 4), "truncated"},
      {withfield(good, 40, 6, 4), "inside a frame"},
      {wavbytes(1, 1, 44100, 24, {1, 2, 3, 4}), "inside a frame"},
      {std::vector<uint8_t>(good.begin(), good.begin() + 36), "no data chunk"},
  };
  for (const Case &c : cases) {
    WavAudio a;
    std::string error;
    EXPECT_FALSE(parsewav(c.bytes, a, error)) << c.words;
    EXPECT_NE(error.find(c.words), std::string::npos) << error;
  }
}

TEST(WavFile, WritingReplacesWholeOrNotAtAll) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "quarn_wavfile_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string path = (dir / "out.wav").string();
  std::string error;
  // Every sample comes back, after the 44-byte header of the plain form.
  const std::vector<int16_t> extremes = {0, 1, -1, 32767, -32768, 1234, -4321, 7};
  ASSERT_TRUE(writewav(path, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, error)) << error;
  ASSERT_TRUE(writewav(path, extremes, error)) << error;
  WavAudio a;
  ASSERT_TRUE(readwav(path, a, error)) << error;
  EXPECT_EQ(a.samples, extremes);
  EXPECT_EQ(fs::file_size(path), 44 + 2 * extremes.size());
  // A target inside a missing folder: refused, and nothing is left behind.
  EXPECT_FALSE(writewav((dir / "missing" / "x.wav").string(), {1, 2}, error));
  EXPECT_FALSE(error.empty());
  int files = 0;
  for (auto &e : fs::directory_iterator(dir)) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
  fs::remove_all(dir);
}

}  // namespace
