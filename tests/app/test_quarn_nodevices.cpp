// Without any sound device both lists hold only the default entry, and the
// program runs and quits as usual.
#include <gtest/gtest.h>

#include "quarndriver.h"
#include "hostshell.h"

namespace {

TEST(QuarnWithoutDevices, ListsHoldTheDefaultOnlyAndTheProgramRuns) {
  const std::string folder = scratchfolder("nodevices");
  writefile(folder + "\\roomcaster_quarn.ini", " 10\r\n 10\r\n 3\r\n 0\r\n");
  const std::string exe = windowspath(QUARN_NODEVICES_EXE);
  QuarnRun q = startquarn(folder, exe.c_str());
  ASSERT_TRUE(q.win);
  for (const char *list : {"win.wavein", "win.waveout"}) {
    EXPECT_EQ(comboentries(control(q, list)), std::vector<std::string>{"system default"}) << list;
  }
  HWND msg = control(q, "win.msg");
  EXPECT_TRUE(waituntil([&] { return windowtext(msg).rfind("freeout=0/0/0\r\ntestgain=3", 0) == 0; }, 5000))
      << windowtext(msg);
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
  const std::string file = readfile(folder + "\\roomcaster_quarn.ini");
  EXPECT_EQ(file.substr(0, 18), " 10\r\n 10\r\n-1\r\n-1\r\n");
}

}  // namespace
