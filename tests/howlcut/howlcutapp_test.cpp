// howlcut in roomcaster_quarn as a user installs it: beside ringout, in its
// own plug-in folder. The "plugins" button opens both windows and closes them
// again; howlcut's window shows what its howlcut.ini says, and a choice made
// in it is in the file once the button has closed it.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/quarndriver.h"

namespace {

// The program's own window of that caption, 0 when none.
HWND programwindow(const QuarnRun &q, const char *caption) {
  for (HWND h = 0; (h = FindWindowExA(nullptr, h, nullptr, caption));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == GetProcessId(q.process)) return h;
  }
  return 0;
}

HWND childat(HWND window, int x, int y) {
  for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT *>(&r), 2);
    if (r.left == x && r.top == y) return h;
  }
  return 0;
}

LRESULT ask(HWND h, UINT message, WPARAM w = 0, LPARAM l = 0) {
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutA(h, message, w, l, SMTO_NORMAL, 5000, &answer), 0) << "no answer to " << message;
  return static_cast<LRESULT>(answer);
}

std::string built(const char *unixpath) {
  const std::string path = unixpath;
  return path[0] == '/' ? "Z:" + path : path;
}

TEST(HowlcutInTheProgram, ThePluginsButtonOpensAndClosesBothWindowsAndHowlcutKeepsItsSettings) {
  const std::string folder = scratchfolder("howlcut");
  for (const char *sub : {"plugin", "plugin2"}) std::filesystem::create_directory(folder + "\\" + sub);
  ASSERT_TRUE(CopyFileA(built(RINGOUT_DLL).c_str(), (folder + "\\plugin\\ringout.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(built(HOWLCUT_DLL).c_str(), (folder + "\\plugin2\\howlcut.dll").c_str(), FALSE));
  // Off, music, at (500, 300).
  writefile(folder + "\\plugin2\\howlcut.ini", " 0\r\n 2\r\n 500\r\n 300\r\n");
  writefile(folder + "\\roomcaster_quarn.ini", settings1500);
  QuarnRun q = startquarn(folder);
  ASSERT_TRUE(q.win);

  click(q, "win.plugins");
  HWND ringout = 0, howlcut = 0;
  EXPECT_TRUE(waituntil([&] { return (ringout = programwindow(q, "plugin/ringout.dll")) != 0; }, 10000));
  ASSERT_TRUE(waituntil([&] { return (howlcut = programwindow(q, "plugin2/howlcut.dll")) != 0; }, 10000));
  HWND sensitivity = 0, on = 0;
  ASSERT_TRUE(waituntil([&] { return (sensitivity = childat(howlcut, 330, 232)) && (on = childat(howlcut, 330, 266)); },
                        10000));
  ASSERT_TRUE(waituntil([&] { return ask(sensitivity, CB_GETCOUNT) == 3; }, 10000));
  RECT r;
  GetWindowRect(howlcut, &r);
  EXPECT_EQ(r.left, 500);
  EXPECT_EQ(r.top, 300);
  EXPECT_EQ(ask(sensitivity, CB_GETCURSEL), 2) << "music";
  EXPECT_EQ(ask(on, BM_GETCHECK), BST_UNCHECKED);

  // The user switches it on and picks speech.
  ask(on, BM_CLICK);
  ask(sensitivity, CB_SETCURSEL, 0);
  ask(howlcut, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(sensitivity), CBN_SELCHANGE), reinterpret_cast<LPARAM>(sensitivity));
  EXPECT_EQ(ask(on, BM_GETCHECK), BST_CHECKED);

  click(q, "win.plugins");
  EXPECT_TRUE(waituntil([&] { return !IsWindow(ringout) && !IsWindow(howlcut); }, 10000));
  EXPECT_EQ(readfile(folder + "\\plugin2\\howlcut.ini"), " 1\r\n 0\r\n 500\r\n 300\r\n");
  EXPECT_NE(readfile(folder + "\\plugin\\ringout.ini"), "");

  // Opened again: what was chosen shows.
  click(q, "win.plugins");
  ASSERT_TRUE(waituntil([&] { return (howlcut = programwindow(q, "plugin2/howlcut.dll")) != 0; }, 10000));
  ASSERT_TRUE(waituntil([&] { return (sensitivity = childat(howlcut, 330, 232)) && ask(sensitivity, CB_GETCOUNT) == 3; },
                        10000));
  EXPECT_EQ(ask(sensitivity, CB_GETCURSEL), 0) << "speech";
  // Quitting closes the plug-in windows too.
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
  EXPECT_FALSE(IsWindow(howlcut));
}

}  // namespace
