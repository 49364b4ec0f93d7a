// The main window of the running program, read and used from outside: its
// sixteen controls, the lists and their selections, what each control does, and
// the settings file it leaves.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/app/quarndriver.h"
#include "tests/app/hostshell.h"

namespace {

// Each control at its place, with its text where it has one (sizes and kinds
// are the panel's declared numbers, made by the window toolkit, tested there).
const std::pair<const char *, const char *> controls[] = {
    {"win.quit", "quit"},         {"win.play", "on"},        {"win.wavein", nullptr}, {"win.buffersize", nullptr},
    {"win.pan", nullptr},         {"win.waveout", nullptr},  {"win.gain", nullptr},   {"win.wet", "wet"},
    {"win.vuout", nullptr},       {"win.msg", nullptr},      {"win.plugins", "plugins"}, {"win.tplug", "plugs"},
    {"win.testloop", "testloop"}, {"win.color", "color"},    {"win.save", "save"},    {"win.load", "load"}};

void quit(QuarnRun &q) {
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
}

TEST(QuarnWindow, SixteenControlsWithTheirListsAndSelections) {
  QuarnRun q = startwithsettings("window", " 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n 400\r\n");
  ASSERT_TRUE(q.win);
  EXPECT_EQ(windowtext(q.win), "roomcaster_quarn");
  for (const auto &[name, text] : controls) {
    HWND h = control(q, name);
    ASSERT_TRUE(h) << name;
    if (text) {
      EXPECT_EQ(windowtext(h), text) << name;
    }
  }
  // The lists as the panel's values make them (each entry is checked natively).
  for (const auto &[list, count, first, last] : {std::tuple{"win.gain", 81u, "krev0", "krev200"},
                                                 std::tuple{"win.pan", 9u, "pan0", "pan8"},
                                                 std::tuple{"win.buffersize", 24u, "trev34", "trev362"}}) {
    const std::vector<std::string> entries = comboentries(control(q, list));
    ASSERT_EQ(entries.size(), count) << list;
    EXPECT_EQ(entries.front() + " " + entries.back(), std::string(first) + " " + last);
  }
  // The system default first, then the devices in their order.
  for (const char *list : {"win.wavein", "win.waveout"}) {
    const std::vector<std::string> devices = comboentries(control(q, list));
    ASSERT_GE(devices.size(), 1u);
    EXPECT_EQ(devices[0], "system default");
    EXPECT_EQ(comboselection(control(q, list)), 1) << list;
  }
  EXPECT_EQ(comboselection(control(q, "win.gain")), 41);
  EXPECT_EQ(comboselection(control(q, "win.pan")), 1);
  EXPECT_EQ(comboselection(control(q, "win.buffersize")), 0);  // 400 frames is not in the list
  EXPECT_TRUE(checked(q, "win.tplug"));
  EXPECT_FALSE(checked(q, "win.wet"));
  // The picture of the window for the README (a build artefact, never compared).
  hostshell("import -window root -crop 427x195+0+0 '" QUARN_SHOT_DIR "/roomcaster_quarn.png'");
  quit(q);
}

// "color" rebuilds the window in the next scheme; after scheme 3 comes 0.
TEST(QuarnWindow, ColorRebuildsTheWindowInTheNextScheme) {
  QuarnRun q = startwithsettings("color", settings1500 + " 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n"
                                                    " 1\r\n 0\r\n 0\r\n 0\r\n 0\r\n 3\r\n 2\r\n");  // colour 2
  ASSERT_TRUE(q.win);
  EXPECT_EQ(clientpixel(q, 3, 3), 0xFF3134u);
  for (unsigned next : {0x323CFFu, 0x32FF32u}) {  // schemes 3 and 0
    click(q, "win.color");
    EXPECT_TRUE(waituntil([&] { return IsWindow(q.win) == FALSE; }, 5000))
        << "the old window stayed; the program's threads:\n" << threadstacks(GetProcessId(q.process));
    EXPECT_TRUE(waituntil([&] {
      q.win = FindWindowA("GUIQUARN", "roomcaster_quarn");
      return q.win && clientpixel(q, 3, 3) == next;
    }, 10000)) << std::hex << next;
    Sleep(1500);
  }
  quit(q);
  EXPECT_EQ(settingsline(q.folder, 22), " 0");
}

// Escape on the window quits; space after a control (the focus is back in the
// status box) quits; "8" asks for the loop test. pan, wet and plugs act at once
// and are what the exit stores; quitting with play off stores the gain the list
// shows.
TEST(QuarnWindow, KeysAndWhatTheExitStores) {
  QuarnRun q = startwithsettings("escape", settings1500);
  ASSERT_TRUE(q.win);
  presskey(q, VK_ESCAPE);
  EXPECT_EQ(waitquarn(q, 10000), 0);
  EXPECT_EQ(settingsline(q.folder, 5), " 1");

  q = startwithsettings("eight", settings1500);
  ASSERT_TRUE(q.win);
  presskey(q, '8');
  EXPECT_EQ(answerbox("confirm", IDCANCEL, 10000), "test loop ? (adjust gain)");
  choose(q, "win.pan", 4);
  click(q, "win.wet");
  click(q, "win.tplug");
  EXPECT_TRUE(waituntil([&] { return checked(q, "win.wet") && !checked(q, "win.tplug"); }, 3000));
  click(q, "win.play");  // off, and the focus back in the status box
  EXPECT_TRUE(waituntil([&] { return windowtext(control(q, "win.play")) == "off"; }, 3000));
  SendMessageA(control(q, "win.gain"), CB_SETCURSEL, 20, 0);  // shown, but not chosen
  presskey(q, VK_SPACE);
  EXPECT_EQ(waitquarn(q, 10000), 0);
  EXPECT_EQ(settingsline(q.folder, 5), " 0.5");
  EXPECT_EQ(settingsline(q.folder, 29), " 0.3");
  EXPECT_EQ(settingsline(q.folder, 27), " 0");  // tplug
  EXPECT_EQ(settingsline(q.folder, 30), " 1");  // wet
}

std::string lines(std::initializer_list<const char *> values) {
  std::string s;
  for (const char *v : values) s += std::string(v) + "\r\n";
  return s;
}

// The file the program leaves, closed by its close box once blocks flow: the
// window is pulled onto the 1280 x 1024 screen, devices the platform does not
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
  QuarnRun q = startwithsettings("values", given);
  ASSERT_TRUE(q.win);
  EXPECT_TRUE(waituntil([&] { return capturedsamples(q) > 0; }, 8000));
  Sleep(300);
  closebox(q);
  EXPECT_EQ(waitquarn(q), 0);
  EXPECT_EQ(readfile(q.folder + "\\roomcaster_quarn.ini"), expected);
}

// Without any sound device (a build whose waveform table lists and opens none)
// both lists hold only the default entry, and the program runs and quits as usual.
TEST(QuarnWithoutDevices, ListsHoldTheDefaultOnlyAndTheProgramRuns) {
  const std::string folder = scratchfolder("nodevices");
  writefile(folder + "\\roomcaster_quarn.ini", " 10\r\n 10\r\n 3\r\n 0\r\n");
  const std::string exe = windowspath(QUARN_NODEVICES_EXE);
  QuarnRun q = startquarn(folder, exe.c_str());
  ASSERT_TRUE(q.win);
  for (const char *list : {"win.wavein", "win.waveout"})
    EXPECT_EQ(comboentries(control(q, list)), std::vector<std::string>{"system default"}) << list;
  HWND msg = control(q, "win.msg");
  EXPECT_TRUE(waituntil([&] { return windowtext(msg).rfind("freeout=0/0/0\r\ntestgain=3", 0) == 0; }, 5000))
      << windowtext(msg);
  quit(q);
  EXPECT_EQ(readfile(folder + "\\roomcaster_quarn.ini").substr(0, 18), " 10\r\n 10\r\n-1\r\n-1\r\n");
}

}  // namespace
