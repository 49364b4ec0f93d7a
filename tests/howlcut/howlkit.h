// howlkit.h: copies of the real howlcut.dll in a throw-away program folder,
// loaded by the real plug-in host; its window opened by the host's window
// thread and read and driven from this (the host's main) thread, as a user
// would; pluginproc called from here as the audio thread would.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pluginhost/pluginhost.h"
#include "tests/howlcut/howlroom.h"

// Polls until `done` holds, at most 20 s; false if it never did. A guard
// against hanging only: no test asserts how long anything takes.
// Counted on the clock: one look at the window may itself take 100 ms.
template <typename cond>
bool waitfor(cond done, int ms = 20000) {
  for (const ULONGLONG start = GetTickCount64(); !done(); Sleep(10))
    if (GetTickCount64() - start >= static_cast<ULONGLONG>(ms)) return done();
  return true;
}

// One open howlcut window, found by its caption, its controls by their places.
struct HowlWin {
  HWND window = nullptr, plot = nullptr, notches = nullptr, sensitivity = nullptr, on = nullptr, reset = nullptr,
       placed = nullptr;

  static HWND childat(HWND window, int x, int y) {
    for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(h, &r);
      MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT *>(&r), 2);
      if (r.left == x && r.top == y) return h;
    }
    return nullptr;
  }
  // A message to the window's thread, answered once it next pumps (every 100 ms).
  static LRESULT send(HWND target, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) {
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutA(target, msg, wparam, lparam, SMTO_NORMAL, 20000, &result), 0) << msg;
    return static_cast<LRESULT>(result);
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
      w.plot = childat(w.window, 10, 10);
      w.notches = childat(w.window, 10, 232);
      w.sensitivity = childat(w.window, 330, 232);
      w.on = childat(w.window, 330, 266);
      w.reset = childat(w.window, 330, 294);
      w.placed = childat(w.window, 440, 236);
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
  void escape() const {
    EXPECT_TRUE(SetForegroundWindow(window));
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_ESCAPE;
    SendInput(1, &key, sizeof key);
    Sleep(400);
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof key);
  }
};

// A program folder of its own per test, the current directory while it runs;
// TearDown unloads the plug-ins (closing any window) and removes the folder.
class HowlHost : public ::testing::Test {
 protected:
  std::string prog;  // the program's folder

  void SetUp() override {
    static std::atomic<int> made;
    prog = (std::filesystem::temp_directory_path() /
            ("howlcutwindow_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made)))
               .string();
    std::filesystem::remove_all(prog);
    std::filesystem::create_directories(prog);
    startcwd = std::filesystem::current_path().string();
    setpluginprogramfolder(prog.c_str());
    ASSERT_TRUE(SetCurrentDirectoryA(prog.c_str()));
  }
  void TearDown() override {
    unloadplugins();
    SetCurrentDirectoryA(startcwd.c_str());
    setpluginprogramfolder(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(prog, ignored);
  }
  // A copy of the built howlcut.dll in prog\folder, with howlcut.ini when given.
  void install(const std::string &folder, const char *ini = nullptr) const {
    std::string built = HOWLCUT_DLL;  // a Unix path when cross-compiled: drive Z: under Wine
    if (built[0] == '/') built = "Z:" + built;
    std::filesystem::create_directories(std::filesystem::path(prog) / folder);
    ASSERT_TRUE(CopyFileA(built.c_str(), (prog + "\\" + folder + "\\howlcut.dll").c_str(), FALSE));
    if (ini) std::ofstream(std::filesystem::path(prog) / folder / "howlcut.ini", std::ios::binary) << ini;
  }
  // prog\folder\howlcut.ini, "" if none.
  std::string settings(const std::string &folder) const {
    std::stringstream all;
    all << std::ifstream(std::filesystem::path(prog) / folder / "howlcut.ini", std::ios::binary).rdbuf();
    return all.str();
  }
  static bool running(int slot) { return std::atomic_ref<void *>(pluginslots[slot].windowthread).load() != nullptr; }
  static float proc(int slot, float x) { return pluginslots[slot].pluginproc(x); }

 private:
  std::string startcwd;
};
