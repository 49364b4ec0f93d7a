// ringout.ini: its place beside the module, each line falling back to its
// own default, the clamping of decay only, and writing it back.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <filesystem>
#include <string>

#include "ringout/ringoutsettings.h"

namespace {

struct Settings {
  RingoutParams params;
  RingoutPlace place;
  void read(const char *text) { ringoutsettingsfromtext(text, params, place); }
};

TEST(RingoutSettings, BesideTheModuleFileNeverAtARoot) {
  EXPECT_EQ(ringoutsettingspath("C:\\prog/plugin4\\ringout.dll"), "C:\\prog/plugin4/ringout.ini");
  EXPECT_EQ(ringoutsettingspath("ringout.dll"), "ringout.ini");
}

TEST(RingoutSettings, ShortFilesKeepTheDefaultsOfTheirMissingLines) {
  Settings s;
  s.params.tdecay = 5.0f;
  s.read(" 20\r\n 1\r\n 2\r\n");
  EXPECT_EQ(s.params.gain.load(), 20.0f);
  EXPECT_EQ(s.place.x.load(), 1);
  EXPECT_EQ(s.place.y.load(), 2);
  EXPECT_EQ(s.params.tdecayon.load(), 1);
  EXPECT_EQ(s.params.decay.load(), 1.0f);
  EXPECT_EQ(s.params.tdecay.load(), 100.0f);
  EXPECT_EQ(s.params.kdecay.load(), 0.77f);
  EXPECT_EQ(s.params.rate.load(), 1.0f);
  Settings e;
  e.read("");
  EXPECT_EQ(e.place.x.load(), 200);
  EXPECT_EQ(e.place.y.load(), 100);
}

TEST(RingoutSettings, LettersAndBlanksAreZeroExtraLinesIgnoredOnlyDecayRanged) {
  Settings s;
  s.read("loud\r\n\r\n-99999999999\r\n\r\n 9\r\n-1e6\r\n 1e39\r\n 0.35\r\n 99\r\nrubbish\r\n");
  EXPECT_EQ(s.params.gain.load(), 0.0f);
  EXPECT_EQ(s.place.x.load(), 0);
  EXPECT_EQ(s.place.y.load(), INT32_MIN);
  EXPECT_EQ(s.params.tdecayon.load(), 0);  // a blank line switches processing off
  EXPECT_EQ(s.params.decay.load(), 4.0f);
  EXPECT_EQ(s.params.tdecay.load(), -1e6f);
  EXPECT_EQ(s.params.kdecay.load(), FLT_MAX);
  EXPECT_EQ(s.params.rate.load(), 0.35f);
  s.read("1\n1\n1\n1\n-3\n");
  EXPECT_EQ(s.params.decay.load(), 1.0f);
}

TEST(RingoutSettings, NoFileResetsOnlyTheGainAWrittenFileReadsBack) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "ringoutsettings_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "ringout.ini").string();
  Settings out;
  out.params.gain = 85.0f;
  out.params.tdecay = 245.0f;
  out.params.tdecayon = 0;
  EXPECT_EQ(ringoutreadsettings(path.c_str(), out.params, out.place), 1);
  EXPECT_EQ(out.params.gain.load(), 1.0f);
  EXPECT_EQ(out.params.tdecay.load(), 245.0f);
  EXPECT_EQ(out.place.x.load(), 0);  // the window position stays (0, 0)

  out.params.gain = 85.0f;
  out.params.decay = 2.15f;
  out.params.kdecay = 0.58f;
  out.place.x = -40;
  out.place.y = 700;
  ASSERT_TRUE(ringoutwritesettings(path.c_str(), out.params, out.place));
  EXPECT_EQ(ringoutsettingstext(out.params, out.place), " 85\r\n-40\r\n 700\r\n 0\r\n 2.15\r\n 245\r\n 0.58\r\n 1\r\n");
  Settings in;
  EXPECT_EQ(ringoutreadsettings(path.c_str(), in.params, in.place), 0);
  EXPECT_EQ(ringoutsettingstext(in.params, in.place), ringoutsettingstext(out.params, out.place));
  std::filesystem::remove_all(folder);
}

}  // namespace
