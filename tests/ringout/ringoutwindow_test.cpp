// ringout's window, opened by the real host's window threads from a copy of the
// real module, read and driven from the host's main thread: its controls and
// lists, the user's choices, the three ways it ends, and ringout.ini after each.
#include <cmath>
#include <filesystem>

#include "tools/gallery/galleryshot.h"
#include "ringout/ringoutlists.h"
#include "tests/ringout/windowkit.h"

namespace {

float signal(int call) { return static_cast<float>(8000 * std::sin(call * 0.031) + 3000 * std::sin(call * 0.0071)); }

// What the screen shows at a point of the window's client area.
COLORREF pixelat(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

}  // namespace

TEST_F(RingoutHost, AModuleInPlugin3ShowsItsControlsAndListsAtTheirDefaults) {
  install("plugin3");
  loadplugins();
  startpluginwindows();
  const RingoutWin w = RingoutWin::find("plugin3/ringout.dll");
  ASSERT_TRUE(w.rate);

  RECT r;
  GetWindowRect(w.window, &r);
  EXPECT_EQ((std::vector<LONG>{r.right - r.left, r.bottom - r.top}), (std::vector<LONG>{300, 135}));
  const LONG style = GetWindowLongA(w.window, GWL_STYLE);
  EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_TRUE(waitfor([&] { return pixelat(w.window, 150, 100) == RGB(250, 200, 0); }, 5000))
      << std::hex << pixelat(w.window, 150, 100);

  // Found at their places (RingoutWin::find), each list with its entries.
  const HWND lists[] = {w.gain, w.decay, w.tdecay, w.kdecay, w.rate};
  for (int list = 0; list < ringoutlists; list++) {
    std::vector<std::string> expected;
    for (int p = 1; p <= ringoutlistcount[list]; p++) expected.push_back(ringoutlistentry(RingoutList(list), p));
    EXPECT_EQ(RingoutWin::entries(lists[list]), expected) << list;
  }
  char text[16] = {};
  SendMessageA(w.tdecayon, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "decay");

  // The default gain of 1.0 is no entry's value: "vol5" shows it.
  EXPECT_EQ(w.selections(), "vol5 decayoff tdecay100 kdec0.77 rate100%");
  EXPECT_TRUE(w.checked());
  // The picture of the window for the build's artefacts (ringout.bmp, then ringout.png).
  const std::string shot = RINGOUT_SHOT;
  EXPECT_TRUE(shootwindow(w.window, shot[0] == '/' ? "Z:" + shot : shot));
}

TEST_F(RingoutHost, ValuesFromTheFileSelectTheirEntriesAndAnOffScreenPlaceIsPulledBack) {
  install("plugin3", " 91\r\n 5000\r\n-300\r\n 0\r\n 3.05\r\n 500\r\n 0.99\r\n 0\r\n");
  loadplugins();
  startpluginwindows();
  const RingoutWin w = RingoutWin::find("plugin3/ringout.dll");
  ASSERT_TRUE(w.rate);
  // A decay of 3.05 is beyond its list: nothing is selected there.
  EXPECT_EQ(w.selections(), "vol91  tdecay500 kdec0.99 rate0%");
  EXPECT_FALSE(w.checked());

  const int right = GetSystemMetrics(SM_CXSCREEN) - 300;
  RECT r;
  GetWindowRect(w.window, &r);
  EXPECT_EQ(r.left, right);
  EXPECT_EQ(r.top, 0);

  w.closebox();
  ASSERT_TRUE(waitfor([] { return !running(3); }));
  EXPECT_EQ(settings("plugin3"), " 91\r\n " + std::to_string(right) + "\r\n 0\r\n 0\r\n 3.05\r\n 500\r\n 0.99\r\n 0\r\n");
}

TEST_F(RingoutHost, ChoicesAreStoredAndShownAgainAfterEachWayOfClosing) {
  install("plugin3");
  loadplugins();

  // First run, ended by the close box: the far end of every list.
  startpluginwindows();
  RingoutWin w = RingoutWin::find("plugin3/ringout.dll");
  ASSERT_TRUE(w.rate);
  w.choose(w.gain, "vol0");
  w.choose(w.decay, "decay3.00");
  w.choose(w.tdecay, "tdecay5");
  w.choose(w.kdecay, "kdec0.50");
  w.choose(w.rate, "rate0%");
  w.closebox();
  ASSERT_TRUE(waitfor([] { return !running(3); }));
  EXPECT_EQ(settings("plugin3"), " 0\r\n 0\r\n 0\r\n 1\r\n 3\r\n 5\r\n 0.5\r\n 0\r\n");

  // Second run, ended by Escape: the same entries show; the seam of the gain
  // list, "decayoff", and the check box twice.
  startpluginwindows();
  w = RingoutWin::find("plugin3/ringout.dll");
  ASSERT_TRUE(w.rate);
  EXPECT_EQ(w.selections(), "vol0 decay3.00 tdecay5 kdec0.50 rate0%");
  w.choose(w.gain, "vol90");
  w.choose(w.decay, "decayoff");
  w.clickdecay();
  EXPECT_FALSE(w.checked());
  w.clickdecay();
  EXPECT_TRUE(w.checked());
  w.escape();
  ASSERT_TRUE(waitfor([] { return !running(3); }));
  EXPECT_EQ(settings("plugin3"), " 90\r\n 0\r\n 0\r\n 1\r\n 1\r\n 5\r\n 0.5\r\n 0\r\n");

  // Third run, ended by the host: once its wait is over the file is there, whole.
  startpluginwindows();
  w = RingoutWin::find("plugin3/ringout.dll");
  ASSERT_TRUE(w.rate);
  EXPECT_EQ(w.selections(), "vol90 decayoff tdecay5 kdec0.50 rate0%");
  EXPECT_TRUE(w.checked());
  w.choose(w.gain, "vol91");
  closepluginwindows();
  EXPECT_FALSE(running(3));
  EXPECT_EQ(settings("plugin3"), " 91\r\n 0\r\n 0\r\n 1\r\n 1\r\n 5\r\n 0.5\r\n 0\r\n");
  EXPECT_FALSE(std::filesystem::exists(prog + "\\plugin3\\ringout.ini.tmp"));
}

TEST_F(RingoutHost, TwoSlotsKeepTheirOwnWindowSettingsAndSoundAndAChoiceIsHeardAtOnce) {
  install("plugin3");
  install("plugin4");
  loadplugins();
  startpluginwindows();
  const RingoutWin w3 = RingoutWin::find("plugin3/ringout.dll"), w4 = RingoutWin::find("plugin4/ringout.dll");
  ASSERT_TRUE(w3.rate && w4.rate);
  EXPECT_NE(w3.window, w4.window);

  // Same settings, separate state: the same sound, with the echo in it.
  int call = 0;
  bool echoed = false;
  for (; call < 2 * 17600; call++) {
    const float x = signal(call), y3 = proc(3, x);
    ASSERT_EQ(y3, proc(4, x)) << call;
    echoed = echoed || y3 != x;
  }
  EXPECT_TRUE(echoed);

  // "rate0%" in slot 3's window: from the next sample on, slot 3 passes its
  // input untouched while slot 4 still echoes.
  w3.choose(w3.rate, "rate0%");
  int differ4 = 0;
  for (int n = 0; n < 4000; n++, call++) {
    const float x = signal(call);
    ASSERT_EQ(proc(3, x), x) << call;
    differ4 += proc(4, x) != x;
  }
  EXPECT_GT(differ4, 0);

  // "decay" off in slot 4's window: slot 4 is switched off at once, slot 3's mark stays.
  w4.clickdecay();
  for (int n = 0; n < 4000; n++, call++) ASSERT_EQ(proc(4, signal(call)), signal(call)) << call;
  EXPECT_FALSE(w4.checked());
  EXPECT_TRUE(w3.checked());

  // Slot 4's own closepluginmain also ends the host's window, settings written;
  // then the host closes slot 3's.
  const auto closeown = reinterpret_cast<closepluginmain_fn>(
      reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(pluginslots[4].module), "closepluginmain")));
  ASSERT_NE(closeown, nullptr);
  EXPECT_EQ(closeown(), 0);
  EXPECT_EQ(settings("plugin4"), " 1\r\n 0\r\n 0\r\n 0\r\n 1\r\n 100\r\n 0.77\r\n 1\r\n");
  EXPECT_TRUE(running(3));
  closepluginwindows();
  EXPECT_EQ(settings("plugin3"), " 1\r\n 0\r\n 0\r\n 1\r\n 1\r\n 100\r\n 0.77\r\n 0\r\n");
}
