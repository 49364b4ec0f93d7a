// WAV files: the engine's format is read and written exactly; everything else
// is refused with a message naming the problem; writing never leaves a
// half-written file behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "engine/wavfile.h"

namespace {

std::vector<uint8_t> withfield(std::vector<uint8_t> b, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
  return b;
}

TEST(WavFile, RoundTripKeepsEverySample) {
  std::vector<int16_t> s = {0, 1, -1, 32767, -32768, 1234, -4321, 7};
  s.resize(s.size() + 2);  // a whole number of frames
  WavAudio a;
  std::string error;
  ASSERT_TRUE(parsewav(encodewav(s), a, error)) << error;
  EXPECT_EQ(a.samples, s);
  std::vector<uint8_t> b = encodewav(s);
  EXPECT_EQ(b.size(), 44 + 2 * s.size());
}

TEST(WavFile, SkipsUnknownChunksAndAcceptsExtensiblePcm) {
  std::vector<int16_t> s = {5, -5, 6, -6};
  std::vector<uint8_t> b = encodewav(s);
  // Insert an odd-sized LIST chunk (padded) between fmt and data.
  std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  b.insert(b.begin() + 36, list.begin(), list.end());
  WavAudio a;
  std::string error;
  ASSERT_TRUE(parsewav(b, a, error)) << error;
  EXPECT_EQ(a.samples, s);

  // The extensible form of the same format.
  std::vector<uint8_t> e = encodewav(s);
  std::vector<uint8_t> ext = {0xFE, 0xFF, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 22, 0, 16, 0,
                              3, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  e.erase(e.begin() + 20, e.begin() + 36);
  e.insert(e.begin() + 20, ext.begin(), ext.end());
  e = withfield(e, 16, 40, 4);
  ASSERT_TRUE(parsewav(e, a, error)) << error;
  EXPECT_EQ(a.samples, s);
}

TEST(WavFile, RefusesOtherFormatsNamingTheProblem) {
  std::vector<uint8_t> good = encodewav({1, 2, 3, 4});
  struct Case {
    std::vector<uint8_t> bytes;
    const char *words;
  } cases[] = {
      {{'n', 'o', 'p', 'e'}, "not a WAV file"},
      {withfield(good, 20, 3, 2), "not PCM"},
      {withfield(good, 22, 1, 2), "not stereo"},
      {withfield(good, 24, 48000, 4), "not 44100 Hz"},
      {withfield(good, 34, 24, 2), "not 16-bit"},
      {withfield(good, 40, 1000, 4), "truncated"},
      {withfield(good, 40, 6, 4), "inside a frame"},
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
  ASSERT_TRUE(writewav(path, {1, 2, 3, 4}, error)) << error;
  ASSERT_TRUE(writewav(path, {9, 9}, error)) << error;
  WavAudio a;
  ASSERT_TRUE(readwav(path, a, error)) << error;
  EXPECT_EQ(a.samples, (std::vector<int16_t>{9, 9}));
  // A target inside a missing folder: refused, and nothing is left behind.
  EXPECT_FALSE(writewav((dir / "missing" / "x.wav").string(), {1, 2}, error));
  EXPECT_FALSE(error.empty());
  int files = 0;
  for (auto &e : fs::directory_iterator(dir)) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
  fs::remove_all(dir);
}

}  // namespace
