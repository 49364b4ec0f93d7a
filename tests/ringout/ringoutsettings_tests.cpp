// ringout.ini: where it lives beside the module, how each of its eight lines
// falls back to its default, the clamping of decay, and writing it back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

#include "ringout/ringoutsettings.h"

namespace {

struct Settings {
  RingoutParams params;
  RingoutPlace place;
};

TEST(RingoutSettingsPath, BesideTheModuleFile) {
  EXPECT_EQ(ringoutmodulefolder("C:\\prog\\plugin2\\ringout.dll"), "C:\\prog\\plugin2");
  EXPECT_EQ(ringoutsettingspath("C:\\prog\\plugin2\\ringout.dll"), "C:\\prog\\plugin2/ringout.ini");
  EXPECT_EQ(ringoutsettingspath("/opt/prog/plugin3/ringout.dll"), "/opt/prog/plugin3/ringout.ini");
  EXPECT_EQ(ringoutsettingspath("C:\\prog/plugin4\\ringout.dll"), "C:\\prog/plugin4/ringout.ini");
  // Without a folder the file is looked for by its bare name, never at a root.
  EXPECT_EQ(ringoutsettingspath("ringout.dll"), "ringout.ini");
  EXPECT_EQ(ringoutsettingspath(""), "ringout.ini");
}

TEST(RingoutSettingsText, AFullFileSetsEveryValue) {
  Settings s;
  ringoutsettingsfromtext(" 55\r\n 320\r\n 240\r\n 0\r\n 2.5\r\n 35\r\n 0.93\r\n 0.45\r\n", s.params, s.place);
  EXPECT_EQ(s.params.gain.load(), 55.0f);
  EXPECT_EQ(s.place.x.load(), 320);
  EXPECT_EQ(s.place.y.load(), 240);
  EXPECT_EQ(s.params.tdecayon.load(), 0);
  EXPECT_EQ(s.params.decay.load(), 2.5f);
  EXPECT_EQ(s.params.tdecay.load(), 35.0f);
  EXPECT_EQ(s.params.kdecay.load(), 0.93f);
  EXPECT_EQ(s.params.rate.load(), 0.45f);
}

TEST(RingoutSettingsText, MissingLinesTakeTheirDefaultsOneByOne) {
  Settings s;
  s.params.tdecay = 5.0f;
  s.params.rate = 0.0f;
  ringoutsettingsfromtext(" 20\r\n 1\r\n 2\r\n", s.params, s.place);
  EXPECT_EQ(s.params.gain.load(), 20.0f);
  EXPECT_EQ(s.place.x.load(), 1);
  EXPECT_EQ(s.place.y.load(), 2);
  EXPECT_EQ(s.params.tdecayon.load(), 1);
  EXPECT_EQ(s.params.decay.load(), 1.0f);
  EXPECT_EQ(s.params.tdecay.load(), 100.0f);
  EXPECT_EQ(s.params.kdecay.load(), 0.77f);
  EXPECT_EQ(s.params.rate.load(), 1.0f);

  Settings e;
  ringoutsettingsfromtext("", e.params, e.place);
  EXPECT_EQ(e.place.x.load(), 200);
  EXPECT_EQ(e.place.y.load(), 100);
  EXPECT_EQ(e.params.gain.load(), 1.0f);
}

TEST(RingoutSettingsText, LettersAndBlankLinesReadAsZeroExtraLinesAreIgnored) {
  Settings s;
  ringoutsettingsfromtext("loud\r\n\r\n 7\r\n\r\n 1\r\n 1e3\r\n -0.5\r\n 1\r\n 99\r\nrubbish\r\n", s.params,
                          s.place);
  EXPECT_EQ(s.params.gain.load(), 0.0f);
  EXPECT_EQ(s.place.x.load(), 0);
  EXPECT_EQ(s.place.y.load(), 7);
  EXPECT_EQ(s.params.tdecayon.load(), 0);  // a blank line switches processing off
  EXPECT_EQ(s.params.tdecay.load(), 1000.0f);
  EXPECT_EQ(s.params.kdecay.load(), -0.5f);  // not ranged when read
  EXPECT_EQ(s.params.rate.load(), 1.0f);
}

TEST(RingoutSettingsText, DecayIsClampedToOneToFourAndOthersAreNot) {
  const struct {
    const char *line;
    float decay;
  } cases[] = {{"9", 4.0f}, {"4", 4.0f}, {"3.05", 3.05f}, {"0.5", 1.0f}, {"-3", 1.0f}, {"x", 1.0f}, {"1e39", 4.0f}};
  for (const auto &c : cases) {
    Settings s;
    ringoutsettingsfromtext(std::string("1\n1\n1\n1\n") + c.line + "\n1e39\n-1e39\n", s.params, s.place);
    EXPECT_EQ(s.params.decay.load(), c.decay) << c.line;
    EXPECT_EQ(s.params.tdecay.load(), std::numeric_limits<float>::max());
    EXPECT_EQ(s.params.kdecay.load(), -std::numeric_limits<float>::max());
  }
  Settings big;
  ringoutsettingsfromtext("1\n-99999999999\n99999999999\n", big.params, big.place);
  EXPECT_EQ(big.place.x.load(), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(big.place.y.load(), std::numeric_limits<int32_t>::max());
}

class RingoutSettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             (std::string("ringoutsettings_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    path = (folder / "ringout.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  void write(const char *text) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(text, f);
    std::fclose(f);
  }
  std::filesystem::path folder;
  std::string path;
};

TEST_F(RingoutSettingsFile, NoFileResetsOnlyTheGainAndReturnsOne) {
  Settings s;
  s.params.gain = 50.0f;
  s.params.tdecay = 35.0f;
  s.params.tdecayon = 0;
  EXPECT_EQ(ringoutreadsettings(path.c_str(), s.params, s.place), 1);
  EXPECT_EQ(s.params.gain.load(), 1.0f);
  EXPECT_EQ(s.params.tdecay.load(), 35.0f);
  EXPECT_EQ(s.params.tdecayon.load(), 0);
  EXPECT_EQ(s.place.x.load(), 0);  // the window position stays (0, 0)
  EXPECT_EQ(s.place.y.load(), 0);
}

TEST_F(RingoutSettingsFile, AnExistingFileIsReadAndReturnsZero) {
  write(" 30\r\n 10\r\n 20\r\n");
  Settings s;
  EXPECT_EQ(ringoutreadsettings(path.c_str(), s.params, s.place), 0);
  EXPECT_EQ(s.params.gain.load(), 30.0f);
  EXPECT_EQ(s.place.x.load(), 10);
  EXPECT_EQ(s.params.rate.load(), 1.0f);
}

TEST_F(RingoutSettingsFile, WrittenSettingsReadBackTheSame) {
  Settings out;
  out.params.gain = 85.0f;
  out.params.rate = 0.35f;
  out.params.tdecayon = 0;
  out.params.decay = 2.15f;
  out.params.tdecay = 245.0f;
  out.params.kdecay = 0.58f;
  out.place.x = -40;
  out.place.y = 700;
  ASSERT_TRUE(ringoutwritesettings(path.c_str(), out.params, out.place));
  EXPECT_EQ(ringoutsettingstext(out.params, out.place),
            " 85\r\n-40\r\n 700\r\n 0\r\n 2.15\r\n 245\r\n 0.58\r\n 0.35\r\n");
  Settings in;
  EXPECT_EQ(ringoutreadsettings(path.c_str(), in.params, in.place), 0);
  EXPECT_EQ(in.params.gain.load(), 85.0f);
  EXPECT_EQ(in.params.rate.load(), 0.35f);
  EXPECT_EQ(in.params.tdecayon.load(), 0);
  EXPECT_EQ(in.params.decay.load(), 2.15f);
  EXPECT_EQ(in.params.tdecay.load(), 245.0f);
  EXPECT_EQ(in.params.kdecay.load(), 0.58f);
  EXPECT_EQ(in.place.x.load(), -40);
  EXPECT_EQ(in.place.y.load(), 700);
}

}  // namespace
