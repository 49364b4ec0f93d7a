// roomcaster_quarn.ini as the running program reads and writes it: the program is
// started on a given file, closed with the close box, and the file it leaves is
// compared byte for byte with what the format predicts.
#include <gtest/gtest.h>

#include "quarndriver.h"

namespace {

std::string lines(std::initializer_list<const char *> values) {
  std::string s;
  for (const char *v : values) s += std::string(v) + "\r\n";
  return s;
}

// Lines 5..24 at their defaults, as written.
const std::string defaulteffects = lines({" 1", " 400", " 2", " 1", " 200", " 0.1", " 250", " 0.1", " 0.5", " 1", " 1",
                                          " 1", " 0", " 0", " 0", " 0", " 3", " 0", " 100", " 0.77"});
const std::string defaultfile = lines({" 10", " 10", "-1", "-1"}) + defaulteffects +
                                lines({" 0", " 100", " 1", " 0", " 0", " 0"});

std::string runandclose(const std::string &name, const std::string *given) {
  const std::string folder = scratchfolder(name);
  if (given) writefile(folder + "\\roomcaster_quarn.ini", *given);
  QuarnRun q = startquarn(folder);
  EXPECT_TRUE(q.win) << "no main window";
  // Blocks are flowing (the status counts the samples of one) before the close.
  EXPECT_TRUE(waituntil([&] { return capturedsamples(q) > 0; }, 8000));
  Sleep(300);
  closebox(q);
  EXPECT_EQ(waitquarn(q), 0);
  return readfile(folder + "\\roomcaster_quarn.ini");
}

// No file gives the defaults; a short file keeps the defaults of its missing
// tail. Hum modes 1 and 2 stay (line 19).
TEST(QuarnSettingsFile, NoFileAndAShortFileGiveTheDefaults) {
  EXPECT_EQ(runandclose("nofile", nullptr), defaultfile);
  const std::string given = lines({" 20", " 30", "-1", "-1", " 2", " 2000", " 2", " 1", " 200", " 0.1", " 250", " 0.1",
                                   " 0.5", " 1", " 1", " 1", " 0", " 0", " 2"});
  EXPECT_EQ(runandclose("short", &given), given + lines({" 0", " 3", " 0", " 100", " 0.77", " 0", " 100", " 1", " 0",
                                                         " 0", " 0"}));
}

// The window is pulled onto the 1280 x 1024 screen, devices the platform does not
// offer become the default, the switches the window turns off are written as 0,
// and every other value, the noise list included, comes back as it was read
// (decay, read as 4, is set to 1 by the running chain).
TEST(QuarnSettingsFile, ValuesComeBackAsTheWindowLeavesThem) {
  const std::string given =
      lines({"5000", "-40", "29", "-7", "0.5", "1500", "2.5", "3.5", "12.25", "0.125", "-3", "1e-9", "7", "0.3", "2",
             "9", "1", "1", "5", "1", "0.25", "3", "55.5", "0.61", "3", "1.5", "-2", "abc", "42", "0", "1", "0.3",
             "1"});
  const std::string expected =
      lines({" 780", " 0", "-1", "-1", " 0.5", " 1500", " 2", " 4", " 12.25", " 0.125", "-3", " 1e-09", " 7", " 0.3",
             " 2", " 1", " 0", " 0", " 0", " 0", " 0.25", " 3", " 55.5", " 0.61", " 3", " 1.5", "-2", " 0", " 42", " 0",
             " 0", " 0.3", " 1"});
  EXPECT_EQ(runandclose("values", &given), expected);
}

}  // namespace
