// howlcut.ini: its place beside the module, each line falling back to its own
// default, the ranges of on and sensitivity, no file at all, and a file written
// and read again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "howlcut/howlcutsettings.h"

namespace {

// What a file's text reads as, written out again.
std::string readback(const char *text) {
  HowlParams params;
  HowlPlace place;
  // No value left at its default, so a default that is not taken shows.
  howlsettingsfromtext("0\n2\n5\n5\n", params, place);
  howlsettingsfromtext(text, params, place);
  return howlsettingstext(params, place);
}

TEST(HowlSettings, BesideTheModuleFileNeverAtARootAndNamedInTheCaption) {
  EXPECT_EQ(howlsettingspath("C:\\prog/plugin2\\howlcut.dll"), "C:\\prog/plugin2/howlcut.ini");
  EXPECT_EQ(howlsettingspath("Z:\\tmp\\my prog\\plugin5\\howlcut.dll"), "Z:\\tmp\\my prog\\plugin5/howlcut.ini");
  EXPECT_EQ(howlsettingspath("howlcut.dll"), "howlcut.ini");
  EXPECT_EQ(howlwindowcaption(howlmodulefolder("C:\\prog\\plugin2\\howlcut.dll")), "plugin2/howlcut.dll");
  EXPECT_EQ(howlwindowcaption("C:\\prog\\plugin"), "plugin/howlcut.dll");
}

TEST(HowlSettings, MissingLinesTakeTheDefaultAndOnAndSensitivityStayInRange) {
  // Lines: on, sensitivity, window x, window y.
  const struct { const char *file, *read; } cases[] = {
      {"", " 1\r\n 1\r\n 430\r\n 10\r\n"},
      {" 0\r\n", " 0\r\n 1\r\n 430\r\n 10\r\n"},
      {" 1\r\n 2\r\n-20\r\n", " 1\r\n 2\r\n-20\r\n 10\r\n"},
      // Any number but 0 is on; sensitivity is held to speech .. music.
      {" 7\r\n 9\r\n 1\r\n 2\r\n", " 1\r\n 2\r\n 1\r\n 2\r\n"},
      {"-1\r\n-4\r\n 1\r\n 2\r\n", " 1\r\n 0\r\n 1\r\n 2\r\n"},
      // Letters and blanks read as 0 (off, speech); huge numbers are held to 32 bits.
      {"loud\r\n\r\n 1e30\r\n-1e30\r\n 5\r\n", " 0\r\n 0\r\n 2147483647\r\n-2147483648\r\n"},
      // LF, a lone CR, and a last line without an ending.
      {"1\n0\r 300\r\n 40", " 1\r\n 0\r\n 300\r\n 40\r\n"},
  };
  for (const auto &c : cases) EXPECT_EQ(readback(c.file), c.read) << c.file;
}

TEST(HowlSettings, NoFileGivesTheDefaultsAndAWrittenFileReadsBackWhole) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "howlsettings_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "howlcut.ini").string();

  HowlParams params;
  HowlPlace place;
  howlsettingsfromtext("0\n2\n5\n5\n", params, place);
  EXPECT_EQ(howlreadsettings(path.c_str(), params, place), 1);
  EXPECT_EQ(howlsettingstext(params, place), " 1\r\n 1\r\n 430\r\n 10\r\n");

  // An old file is replaced whole, and what the window wrote comes back.
  std::ofstream(path, std::ios::binary) << " 1\r\n 1\r\n 1\r\n 1\r\n 99\r\n 99\r\n";
  params.on.store(0);
  params.sensitivity.store(howlmusic);
  place.x.store(612);
  place.y.store(-3);
  ASSERT_TRUE(howlwritesettings(path.c_str(), params, place));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  HowlParams again;
  HowlPlace againplace;
  EXPECT_EQ(howlreadsettings(path.c_str(), again, againplace), 0);
  EXPECT_EQ(howlsettingstext(again, againplace), " 0\r\n 2\r\n 612\r\n-3\r\n");
  std::filesystem::remove_all(folder);
}

}  // namespace
