// roomcaster_quarn.ini read from and written to text: defaults, conversions,
// ranges, the noise list and its count. (Any text written back reads as the
// same values: fuzz/fuzz_settings.cpp.)
#include <gtest/gtest.h>

#include "app/settings/settingsfile.h"
#include "engine/engine.h"

namespace {

const char *const defaultfile =
    " 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n 400\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 1\r\n"
    " 0\r\n 0\r\n 0\r\n 0\r\n 3\r\n 0\r\n 100\r\n 0.77\r\n 0\r\n 100\r\n 1\r\n 0\r\n 0\r\n 0\r\n";

// The first `n` lines of the default file, then `rest`.
std::string defaultsthen(int n, const std::string &rest) {
  std::string s = defaultfile;
  size_t at = 0;
  for (int i = 0; i < n; ++i) at = s.find("\r\n", at) + 2;
  return s.substr(0, at) + rest;
}

TEST(SettingsFile, EmptyTextGivesExactlyTheDefaults) {
  engineinit();
  engine.gain = 2.5f;  // whatever memory held before
  settings.noisecount = 7;
  readsettingstext("");
  EXPECT_EQ(writesettingstext(), defaultfile);
}

TEST(SettingsFile, ConversionsAndRanges) {
  readsettingstext(defaultsthen(4, "volume\r\n100\r\n2.5\r\n3.5\r\n"));
  EXPECT_EQ(engine.gain, 0.0f);
  EXPECT_EQ(engine.buffersize, 150);
  EXPECT_EQ(engine.autovol, 2);
  EXPECT_EQ(engine.reverb, 4);
  readsettingstext(defaultsthen(5, "20000\r\n"));
  EXPECT_EQ(engine.buffersize, 16000);
  readsettingstext(defaultsthen(15, "9\r\n"));
  EXPECT_EQ(engine.decay, 4.0f);
  readsettingstext(defaultsthen(15, "0.2\r\n"));
  EXPECT_EQ(engine.decay, 1.0f);
  readsettingstext(defaultsthen(20, "0\r\n"));
  EXPECT_EQ(engine.testgain, 0.001f);
  readsettingstext(defaultsthen(20, "1e300\r\n"));
  EXPECT_EQ(engine.testgain, 3.0f);
  // The tail missing: defaults, unranged buffersize still ranged.
  readsettingstext(" 1\r\n 2\r\n");
  EXPECT_EQ(settings.winx, 1);
  EXPECT_EQ(settings.winy, 2);
  EXPECT_EQ(settings.wavein, -1);
  EXPECT_EQ(engine.buffersize, 400);
  EXPECT_EQ(engine.testgain, 3.0f);
}

TEST(SettingsFile, NoiseListCountFollowsTheValuesPresent) {
  // Count 3, two values: the third is 0, the list is two long, the rest default.
  readsettingstext(defaultsthen(24, " 3\r\n 5\r\n 6\r\n"));
  EXPECT_EQ(settings.noisecount, 2);
  EXPECT_EQ(settings.noisesample[1], 5.0f);
  EXPECT_EQ(settings.noisesample[2], 6.0f);
  EXPECT_EQ(settings.noisesample[3], 0.0f);
  EXPECT_EQ(settings.noisethreshold, 100.0f);
  EXPECT_EQ(engine.tplug, 1);
  EXPECT_EQ(writesettingstext(), defaultsthen(24, " 2\r\n 5\r\n 6\r\n 100\r\n 1\r\n 0\r\n 0\r\n 0\r\n"));

  // 402 values: position 400 holds the last; written back it repeats three times.
  std::string list, back;
  for (int i = 1; i <= 402; ++i) list += " " + std::to_string(i) + "\r\n";
  for (int i = 1; i <= 399; ++i) back += " " + std::to_string(i) + "\r\n";
  back += " 402\r\n 402\r\n 402\r\n";
  const std::string tail = " 9\r\n 0\r\n 1\r\n 0.25\r\n 1\r\n";
  readsettingstext(defaultsthen(24, " 402\r\n" + list + tail));
  EXPECT_EQ(settings.noisecount, 402);
  EXPECT_EQ(settings.noisesample[399], 399.0f);
  EXPECT_EQ(settings.noisesample[400], 402.0f);
  EXPECT_EQ(engine.pan, 0.25f);
  EXPECT_EQ(writesettingstext(), defaultsthen(24, " 402\r\n" + back + tail));

  // A damaged count of two billion reads what is there and writes that back.
  readsettingstext(defaultsthen(24, " 2000000000\r\n 1\r\n"));
  EXPECT_EQ(settings.noisecount, 1);
  EXPECT_LT(writesettingstext().size(), 200u);
  // A count of 0 or less reads no list; a negative count is kept.
  readsettingstext(defaultsthen(24, "-5\r\n 7\r\n"));
  EXPECT_EQ(settings.noisecount, -5);
  EXPECT_EQ(settings.noisethreshold, 7.0f);
}

}  // namespace
