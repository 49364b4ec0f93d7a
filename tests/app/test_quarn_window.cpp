// The main window of the running program, read and used from outside: its
// sixteen controls, the lists and their selections, and what each control does.
#include <gtest/gtest.h>

#include <tuple>

#include "quarndriver.h"
#include "hostshell.h"

namespace {

struct Expected {
  const char *name, *cls, *text;
  int x, y, w, h;
};
// Combo boxes are as high as their edit part here; their drop-down is not measured.
const Expected controls[] = {
    {"win.quit", "Button", "quit", 10, 45, 40, 24},       {"win.play", "Button", "on", 55, 47, 36, 20},
    {"win.wavein", "ComboBox", nullptr, 10, 10, 240, 0},  {"win.buffersize", "ComboBox", nullptr, 256, 10, 80, 0},
    {"win.pan", "ComboBox", nullptr, 341, 10, 57, 0},     {"win.waveout", "ComboBox", nullptr, 10, 106, 240, 0},
    {"win.gain", "ComboBox", nullptr, 256, 106, 80, 0},   {"win.wet", "Button", "wet", 344, 111, 60, 20},
    {"win.vuout", nullptr, nullptr, 340, 75, 42, 17},     {"win.msg", "Edit", nullptr, 100, 45, 150, 53},
    {"win.plugins", "Button", "plugins", 27, 75, 65, 22}, {"win.tplug", "Button", "plugs", 10, 79, 15, 15},
    {"win.testloop", "Button", "testloop", 256, 75, 80, 22}, {"win.color", "Button", "color", 340, 45, 50, 18},
    {"win.save", "Button", "save", 256, 45, 38, 22},      {"win.load", "Button", "load", 296, 45, 38, 22}};

std::string settingsfile(const char *gain, const char *buffersize, const char *pan) {
  return std::string(" 10\r\n 10\r\n-1\r\n-1\r\n") + gain + "\r\n" + buffersize +
         "\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 1\r\n 0\r\n 0\r\n 0\r\n 0\r\n 3\r\n"
         " 0\r\n 100\r\n 0.77\r\n 0\r\n 100\r\n 1\r\n 0\r\n" +
         pan + "\r\n 0\r\n";
}

void quit(QuarnRun &q) {
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
}

TEST(QuarnWindow, SixteenControlsWithTheirListsAndSelections) {
  QuarnRun q = startwithsettings("window", settingsfile(" 1", " 400", " 0"));
  ASSERT_TRUE(q.win);
  EXPECT_EQ(windowtext(q.win), "roomcaster_quarn");
  for (const Expected &c : controls) {
    HWND h = control(q, c.name);
    ASSERT_TRUE(h) << c.name;
    const RECT r = clientrect(q, h);
    EXPECT_EQ(r.right - r.left, c.w) << c.name;
    if (c.h) EXPECT_EQ(r.bottom - r.top, c.h) << c.name;
    if (c.cls) EXPECT_STRCASEEQ(classof(h).c_str(), c.cls) << c.name;
    if (c.text) EXPECT_EQ(windowtext(h), c.text) << c.name;
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

// play, gain, pan, wet and plugs act at once and are what the exit stores.
TEST(QuarnWindow, ControlsSetTheValuesTheExitStores) {
  QuarnRun q = startwithsettings("actions", settingsfile(" 1", " 1500", " 0"));
  ASSERT_TRUE(q.win);
  click(q, "win.play");
  EXPECT_TRUE(waituntil([&] { return windowtext(control(q, "win.play")) == "off"; }, 3000));
  click(q, "win.play");
  EXPECT_TRUE(waituntil([&] { return windowtext(control(q, "win.play")) == "on"; }, 3000));
  choose(q, "win.gain", 81);
  choose(q, "win.pan", 4);
  click(q, "win.wet");
  click(q, "win.tplug");
  EXPECT_TRUE(waituntil([&] { return checked(q, "win.wet") && !checked(q, "win.tplug"); }, 3000));
  quit(q);
  EXPECT_EQ(settingsline(q.folder, 5), " 2");
  EXPECT_EQ(settingsline(q.folder, 29), " 0.3");
  EXPECT_EQ(settingsline(q.folder, 27), " 0");  // tplug
  EXPECT_EQ(settingsline(q.folder, 30), " 1");  // wet
}

// "color" rebuilds the window in the next scheme; after scheme 3 comes 0.
TEST(QuarnWindow, ColorRebuildsTheWindowInTheNextScheme) {
  std::string file = settingsfile(" 1", " 1500", " 0");
  file.replace(file.find(" 3\r\n 0\r\n 100"), 12, " 3\r\n 2\r\n 100");  // color 2
  QuarnRun q = startwithsettings("color", file);
  ASSERT_TRUE(q.win);
  EXPECT_EQ(clientpixel(q, 3, 3), 0xFF3134u);
  for (unsigned next : {0x323CFFu, 0x32FF32u}) {  // schemes 3 and 0
    click(q, "win.color");
    EXPECT_TRUE(waituntil([&] { return IsWindow(q.win) == FALSE; }, 5000));
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
// status box) quits; "8" asks for the loop test. Quitting with play off stores
// the gain the list shows.
TEST(QuarnWindow, Keys) {
  QuarnRun q = startwithsettings("escape", settingsfile(" 1", " 1500", " 0"));
  ASSERT_TRUE(q.win);
  presskey(q, VK_ESCAPE);
  EXPECT_EQ(waitquarn(q, 10000), 0);
  EXPECT_EQ(settingsline(q.folder, 5), " 1");

  q = startwithsettings("eight", settingsfile(" 1", " 1500", " 0"));
  ASSERT_TRUE(q.win);
  presskey(q, '8');
  EXPECT_EQ(answerbox("confirm", IDCANCEL, 10000), "test loop ? (adjust gain)");
  click(q, "win.play");  // off, and the focus back in the status box
  EXPECT_TRUE(waituntil([&] { return windowtext(control(q, "win.play")) == "off"; }, 3000));
  SendMessageA(control(q, "win.gain"), CB_SETCURSEL, 20, 0);  // shown, but not chosen
  presskey(q, VK_SPACE);
  EXPECT_EQ(waitquarn(q, 10000), 0);
  EXPECT_EQ(settingsline(q.folder, 5), " 0.5");
}

}  // namespace
