// windowkit.h: the real ringout.dll in a throw-away program folder, loaded by
// the real plug-in host, its windows opened by the host's window threads and
// read and driven from this (the host's main) thread, as a user would.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pluginhost/pluginhost.h"

// One open ringout window, found by its caption ("plugin3/ringout.dll").
struct RingoutWin {
  HWND window = nullptr;
  HWND gain = nullptr, kdecay = nullptr, tdecay = nullptr, decay = nullptr, rate = nullptr;
  HWND tdecayon = nullptr;  // the "decay" check box

  // Waits until the window exists and its last list is filled; the controls
  // are taken by their places in the window.
  static RingoutWin find(const std::string &caption);

  // A list's entry count, the text of entry p (1-based), the selected entry's
  // text ("" for none).
  static int count(HWND combo);
  static std::string entry(HWND combo, int position);
  static std::vector<std::string> entries(HWND combo);
  static std::string selected(HWND combo);
  std::string selections() const;  // the five selections "gain decay tdecay kdecay rate"
  bool checked() const;            // the check mark of "decay"

  // What the user does: pick entry p, click "decay", the close box, Escape.
  void choose(HWND combo, int position) const;
  void choose(HWND combo, const std::string &text) const;
  void clickdecay() const;
  void closebox() const;
  void escape() const;
};

// Polls until `done` holds, at most 20 s; false if it never did. A guard
// against hanging only: no test asserts how long anything takes.
template <typename cond>
bool waitfor(cond done, int ms = 20000) {
  for (int waited = 0; !done(); waited += 10) {
    if (waited >= ms) return false;
    Sleep(10);
  }
  return true;
}

// A program folder of its own per test, the current directory while it runs;
// TearDown unloads the plug-ins (closing any window) and removes the folder.
class RingoutHost : public ::testing::Test {
 protected:
  std::string prog;  // the program's folder

  void SetUp() override;
  void TearDown() override;
  // A copy of the built ringout.dll in prog\folder, with ringout.ini when given.
  void install(const std::string &folder, const char *ini = nullptr) const;
  std::string settings(const std::string &folder) const;  // prog\folder\ringout.ini, "" if none
  // True while the slot's window thread runs.
  static bool running(int slot);
  // Calls the slot's pluginproc as the audio thread would.
  static float proc(int slot, float x) { return pluginslots[slot].pluginproc(x); }

 private:
  std::string startcwd;
};
