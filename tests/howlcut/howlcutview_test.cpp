// What the window shows: the plot's scales, the spectrum and the notches drawn
// where they belong, the notch rows, and the sensitivity list.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "howlcut/howlcutview.h"

namespace {

constexpr int width = 512, height = 180;

HowlSnapshot quiet() {
  HowlSnapshot s{};
  for (float &db : s.spectrum) db = -90.0f;
  return s;
}

std::vector<uint32_t> draw(const HowlSnapshot &s) {
  std::vector<uint32_t> pixels(width * height, 0);
  howldrawplot(s, pixels.data(), width, height);
  return pixels;
}

// The highest row of the trace in a column.
int tracetop(const std::vector<uint32_t> &pixels, int x) {
  for (int y = 0; y < height; y++)
    if (pixels[y * width + x] == howltrace) return y;
  return -1;
}

TEST(HowlView, ScalesSpanTheDisplayPointsAndHoldOutsideValues) {
  const float low = howldisplayfrequency(0), high = howldisplayfrequency(howldisplaybins - 1);
  EXPECT_EQ(howlplotx(low, width), 0);
  EXPECT_EQ(howlplotx(high, width), width - 1);
  // A log scale: each decade takes the same width.
  const int x100 = howlplotx(100, width), x1k = howlplotx(1000, width), x10k = howlplotx(10000, width);
  EXPECT_NEAR(x1k - x100, x10k - x1k, 1);
  EXPECT_EQ(howlplotx(low * 0.99f, width), -1);
  EXPECT_EQ(howlplotx(high * 1.01f, width), -1);
  EXPECT_EQ(howlplotx(std::numeric_limits<float>::quiet_NaN(), width), -1);

  EXPECT_EQ(howlploty(howlplottop, height), 0);
  EXPECT_EQ(howlploty(howlplotfloor, height), height - 1);
  EXPECT_EQ(howlploty(-50, height), 90);  // halfway, rounded
  EXPECT_EQ(howlploty(12, height), 0);
  EXPECT_EQ(howlploty(-400, height), height - 1);
  EXPECT_EQ(howlploty(-std::numeric_limits<float>::infinity(), height), height - 1);
  EXPECT_EQ(howlploty(std::numeric_limits<float>::quiet_NaN(), height), height - 1);
}

TEST(HowlView, APeakIsDrawnAtItsFrequencyAndANotchAtItsOwn) {
  HowlSnapshot s = quiet();
  const int peak = 150;  // a display point near 1.6 kHz
  s.spectrum[peak] = -10.0f;
  s.spectrum[40] = std::numeric_limits<float>::quiet_NaN();  // drawn at the floor, nothing breaks
  s.frequency[3] = 440.0f;
  s.depth[3] = 12.0f;
  const std::vector<uint32_t> pixels = draw(s);

  const int xpeak = howlplotx(howldisplayfrequency(peak), width);
  int highest = 0;
  for (int x = 1; x < width; x++)
    if (tracetop(pixels, x) < tracetop(pixels, highest)) highest = x;
  EXPECT_NEAR(highest, xpeak, 1);
  EXPECT_EQ(tracetop(pixels, xpeak), howlploty(-10.0f, height));
  EXPECT_EQ(pixels[(height - 1) * width + xpeak], howlfill);

  // The notch: its column is marked from the top, its wedge is 12 dB deep.
  const int xnotch = howlplotx(440.0f, width);
  EXPECT_EQ(pixels[xnotch], howlnotchcolour);
  const int deep = howlploty(-12.0f, height);
  EXPECT_EQ(pixels[deep * width + xnotch], howlnotchcolour);
  EXPECT_NE(pixels[(deep + 3) * width + xnotch + 1], howlnotchcolour);
  int marked = 0;
  for (int x = 0; x < width; x++) marked += pixels[x] == howlnotchcolour;
  EXPECT_EQ(marked, 11) << "one wedge, 5 columns either side";

  // Without notches nothing is red.
  HowlSnapshot plain = quiet();
  for (uint32_t p : draw(plain)) ASSERT_NE(p, howlnotchcolour);
}

TEST(HowlView, RowsListActiveNotchesLowestFirst) {
  HowlSnapshot s = quiet();
  s.frequency[0] = 2500.4f, s.depth[0] = 6.0f, s.age[0] = 0.4f;
  s.frequency[5] = 312.6f, s.depth[5] = 18.04f, s.age[5] = 75.9f;
  s.frequency[7] = std::numeric_limits<float>::quiet_NaN(), s.depth[7] = 3.0f;  // not a notch
  s.frequency[9] = 1000.0f, s.depth[9] = std::numeric_limits<float>::infinity(), s.age[9] = -1.0f;
  EXPECT_EQ(howlnotchrows(s), (std::vector<std::string>{"313 Hz   -18.0 dB   75 s", "1000 Hz   -0.0 dB   0 s",
                                                        "2500 Hz   -6.0 dB   0 s"}));
  EXPECT_TRUE(howlnotchrows(quiet()).empty());
}

TEST(HowlView, SensitivityEntriesStoreTheirValueAndAValueSelectsItsEntry) {
  const HowlSensitivity values[] = {howlspeech, howlmixed, howlmusic};
  const char *entries[] = {"speech", "mixed", "music"};
  for (int p = 1; p <= howlsensitivitycount; p++) {
    EXPECT_EQ(howlsensitivityentry(p), entries[p - 1]);
    EXPECT_EQ(howlsensitivityvalue(p), values[p - 1]);
    EXPECT_EQ(howlsensitivityposition(values[p - 1]), p);
  }
  EXPECT_EQ(howlsensitivityentry(4), "");
  EXPECT_EQ(howlsensitivityvalue(0), howlmixed) << "no selection keeps the default";
  EXPECT_EQ(howlsensitivityposition(9), 3);
}

}  // namespace
