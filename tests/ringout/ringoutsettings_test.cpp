// ringout.ini: its place beside the module, each line falling back to its
// own default, the ranges of decay and kdecay, and no file at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ringout/ringoutsettings.h"

namespace {

struct Settings {
  RingoutParams params;
  RingoutPlace place;
  std::string read(const char *text) {
    ringoutsettingsfromtext(text, params, place);
    return ringoutsettingstext(params, place);
  }
};

TEST(RingoutSettings, BesideTheModuleFileNeverAtARootAndNamedInTheCaption) {
  EXPECT_EQ(ringoutsettingspath("C:\\prog/plugin4\\ringout.dll"), "C:\\prog/plugin4/ringout.ini");
  EXPECT_EQ(ringoutsettingspath("ringout.dll"), "ringout.ini");
  // The window's caption names the same folder.
  EXPECT_EQ(ringoutwindowcaption("Z:\\tmp\\prog/plugin3"), "plugin3/ringout.dll");
  EXPECT_EQ(ringoutwindowcaption("C:\\prog\\plugin"), "plugin/ringout.dll");
  EXPECT_EQ(ringoutwindowcaption(""), "/ringout.dll");
}

TEST(RingoutSettings, MissingLinesTakeTheDefaultLettersAndBlanksReadZeroDecayAndKdecayAreRanged) {
  // Lines: gain, window x, window y, tdecayon, decay, tdecay, kdecay, rate.
  const struct { const char *file, *read; } cases[] = {
      {"", " 1\r\n 200\r\n 100\r\n 1\r\n 1\r\n 100\r\n 0.77\r\n 1\r\n"},
      {" 20\r\n 1\r\n 2\r\n", " 20\r\n 1\r\n 2\r\n 1\r\n 1\r\n 100\r\n 0.77\r\n 1\r\n"},
      {"loud\r\n\r\n-99999999999\r\n\r\n 9\r\n-1e6\r\n 1e39\r\n 0.35\r\n 99\r\nrubbish\r\n",
       " 0\r\n 0\r\n-2147483648\r\n 0\r\n 4\r\n-1000000\r\n 0.99\r\n 0.35\r\n"},
      // kdecay: the window's own extremes stay; a feedback of magnitude 1 or
      // more (a ring line that would never die away) is held at +-0.99.
      {"1\n1\n1\n1\n1\n1\n 0.99\n", " 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 0.99\r\n 1\r\n"},
      {"1\n1\n1\n1\n1\n1\n 0.5\n", " 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 0.5\r\n 1\r\n"},
      {"1\n1\n1\n1\n1\n1\n 1\n", " 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 0.99\r\n 1\r\n"},
      {"1\n1\n1\n1\n1\n1\n-3\n", " 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n-0.99\r\n 1\r\n"},
      {"1\n1\n1\n1\n-3\n", " 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 100\r\n 0.77\r\n 1\r\n"},
      // CR, LF and CR LF endings, a blank line, a last line without an ending.
      {"7\r 8\n\r\n 2", " 7\r\n 8\r\n 0\r\n 2\r\n 1\r\n 100\r\n 0.77\r\n 1\r\n"},
  };
  for (const auto &c : cases) {
    Settings s;
    s.read("5\n5\n5\n0\n3\n5\n5\n5\n");  // no value left at its default
    EXPECT_EQ(s.read(c.file), c.read) << c.file;
  }
}

// (A file written by the window and read at its next start: the window tests.)
TEST(RingoutSettings, NoFileResetsOnlyTheGain) {
  const std::string path = (std::filesystem::temp_directory_path() / "ringoutsettings_none" / "ringout.ini").string();
  Settings out;
  out.read(" 85\r\n-40\r\n 700\r\n 0\r\n 2.15\r\n 245\r\n 0.58\r\n 1\r\n");
  EXPECT_EQ(ringoutreadsettings(path.c_str(), out.params, out.place), 1);
  EXPECT_EQ(ringoutsettingstext(out.params, out.place), " 1\r\n-40\r\n 700\r\n 0\r\n 2.15\r\n 245\r\n 0.58\r\n 1\r\n");
}

}  // namespace
