// howlkit.h: copies of the real howlcut.dll in a throw-away program folder,
// loaded by the real plug-in host; its window opened by the host's window
// thread and read and driven from this (the host's main) thread, as a user
// would; pluginproc called from here as the audio thread would.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/howlcut/howlroom.h"
#include "tests/pluginhost/modulekit.h"

// One open howlcut window, found by its caption, its controls by their places.
struct HowlWin {
  HWND window = nullptr, plot = nullptr, notches = nullptr, sensitivity = nullptr, on = nullptr, reset = nullptr,
       placed = nullptr;

  // A message to the window's thread, answered once it next pumps (every 100 ms).
  static LRESULT send(HWND target, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) {
    return modulekit::sendto(target, msg, wparam, lparam);
  }
  static std::string text(HWND h) {
    char buffer[256] = {};
    send(h, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }

  // Waits until the window is there with its controls and its list filled.
  static HowlWin find(const std::string &caption) {
    HowlWin w;
    EXPECT_TRUE(waitfor([&] { return (w.window = FindWindowA(nullptr, caption.c_str())) != nullptr; })) << caption;
    if (!w.window) return w;
    const bool complete = waitfor([&] {
      w.plot = modulekit::controlat(w.window, 10, 10);
      w.notches = modulekit::controlat(w.window, 10, 232);
      w.sensitivity = modulekit::controlat(w.window, 330, 232);
      w.on = modulekit::controlat(w.window, 330, 266);
      w.reset = modulekit::controlat(w.window, 330, 294);
      w.placed = modulekit::controlat(w.window, 440, 236);
      return w.plot && w.notches && w.sensitivity && w.on && w.reset && w.placed;
    });
    EXPECT_TRUE(complete) << caption << ": not every control at its place";
    if (complete) EXPECT_TRUE(waitfor([&] { return send(w.sensitivity, CB_GETCOUNT) == 3; })) << "no sensitivity list";
    else w.window = nullptr;
    return w;
  }

  std::vector<std::string> entries(HWND list, bool combo) const {
    std::vector<std::string> all;
    const LRESULT n = send(list, combo ? CB_GETCOUNT : LB_GETCOUNT);
    for (LRESULT i = 0; i < n; i++) {
      char buffer[256] = {};
      send(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
      all.push_back(buffer);
    }
    return all;
  }
  std::vector<std::string> rows() const { return entries(notches, false); }
  std::string chosen() const {
    const LRESULT index = send(sensitivity, CB_GETCURSEL);
    return index < 0 ? "" : entries(sensitivity, true)[index];
  }
  bool ischecked() const { return send(on, BM_GETCHECK) == BST_CHECKED; }

  // What the user does: a list choice as a real combo box makes it, clicks,
  // the close box, and Escape held long enough for the window's 100 ms loop.
  void choose(const std::string &entry) const {
    const LRESULT index = send(sensitivity, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(entry.c_str()));
    ASSERT_GE(index, 0) << "no entry " << entry;
    send(sensitivity, CB_SETCURSEL, index);
    send(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(sensitivity), CBN_SELCHANGE), reinterpret_cast<LPARAM>(sensitivity));
  }
  void click(HWND button) const { send(button, BM_CLICK); }
  void closebox() const { send(window, WM_SYSCOMMAND, SC_CLOSE); }
  void escape() const { modulekit::pressescape(window); }
};

// A program folder of its own per test for copies of the built howlcut.dll
// (modulekit.h).
class HowlHost : public ModuleFolderTest {
 protected:
  HowlHost() : ModuleFolderTest("howlcut", HOWLCUT_DLL) {}
};
