// windowkit.h: the real ringout.dll in a throw-away program folder, loaded by
// the real plug-in host, its windows opened by the host's window threads and
// read and driven from this (the host's main) thread, as a user would.
#pragma once
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/pluginhost/modulekit.h"

namespace windowkit {

using modulekit::controlat;
using modulekit::sendto;

// A query waits for the window's next pump (every 100 ms); queries sent from
// threads of their own all wait for the same one.
template <typename each>
void inparallel(int n, each body) {
  std::vector<std::thread> threads;
  for (int i = 0; i < n; i++) threads.emplace_back(body, i);
  for (std::thread &t : threads) t.join();
}

}  // namespace windowkit

// One open ringout window, found by its caption ("plugin3/ringout.dll").
struct RingoutWin {
  HWND window = nullptr;
  HWND gain = nullptr, kdecay = nullptr, tdecay = nullptr, decay = nullptr, rate = nullptr;
  HWND tdecayon = nullptr;  // the "decay" check box

  // Waits until the window exists and its last list is filled; the controls
  // are taken by their places in the window.
  static RingoutWin find(const std::string &caption) {
    using windowkit::controlat;
    RingoutWin w;
    EXPECT_TRUE(waitfor([&] { return (w.window = FindWindowA(nullptr, caption.c_str())) != nullptr; })) << caption;
    if (!w.window) return w;
    // The caption is there as soon as the window is; its controls come just after.
    const bool complete = waitfor([&] {
      w.gain = controlat(w.window, 20, 23);
      w.kdecay = controlat(w.window, 90, 23);
      w.tdecay = controlat(w.window, 183, 23);
      w.decay = controlat(w.window, 183, 65);
      w.rate = controlat(w.window, 90, 65);
      w.tdecayon = controlat(w.window, 20, 68);
      return w.gain && w.kdecay && w.tdecay && w.decay && w.rate && w.tdecayon;
    });
    EXPECT_TRUE(complete) << caption << ": not every control at its place";
    if (!complete) w.rate = nullptr;
    else EXPECT_TRUE(waitfor([&] { return count(w.rate) == 21; })) << "the lists are never filled";
    return w;
  }

  // A list's entry count, the text of entry p (1-based), the selected entry's
  // text ("" for none).
  static int count(HWND combo) { return static_cast<int>(windowkit::sendto(combo, CB_GETCOUNT, 0, 0)); }
  static std::string entry(HWND combo, int position) {
    const LRESULT length = windowkit::sendto(combo, CB_GETLBTEXTLEN, position - 1, 0);
    if (length < 0) return "";
    std::vector<char> text(length + 1, '\0');
    windowkit::sendto(combo, CB_GETLBTEXT, position - 1, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
  }
  static std::vector<std::string> entries(HWND combo) {
    std::vector<std::string> all(count(combo));
    windowkit::inparallel(static_cast<int>(all.size()), [&](int i) { all[i] = entry(combo, i + 1); });
    return all;
  }
  static std::string selected(HWND combo) {
    const LRESULT index = windowkit::sendto(combo, CB_GETCURSEL, 0, 0);
    return index < 0 ? "" : entry(combo, static_cast<int>(index) + 1);
  }
  // The five selections "gain decay tdecay kdecay rate".
  std::string selections() const {
    const HWND lists[] = {gain, decay, tdecay, kdecay, rate};
    std::string shown[5];
    windowkit::inparallel(5, [&](int i) { shown[i] = selected(lists[i]); });
    return shown[0] + " " + shown[1] + " " + shown[2] + " " + shown[3] + " " + shown[4];
  }
  bool checked() const { return windowkit::sendto(tdecayon, BM_GETCHECK, 0, 0) == BST_CHECKED; }

  // What the user does. Choosing an entry: as a real combo box does, the
  // selection moves, then the parent hears of it.
  void choose(HWND combo, const std::string &text) const {
    const LRESULT index = windowkit::sendto(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_GE(index, 0) << "no entry " << text;
    windowkit::sendto(combo, CB_SETCURSEL, index, 0);
    windowkit::sendto(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(combo));
  }
  void clickdecay() const { windowkit::sendto(tdecayon, BM_CLICK, 0, 0); }
  void closebox() const { windowkit::sendto(window, WM_SYSCOMMAND, SC_CLOSE, 0); }
  // Escape while the window has the keyboard, held long enough for its 100 ms loop.
  void escape() const { modulekit::pressescape(window); }
};

// A program folder of its own per test for copies of the built ringout.dll
// (modulekit.h).
class RingoutHost : public ModuleFolderTest {
 protected:
  RingoutHost() : ModuleFolderTest("ringout", RINGOUT_DLL) {}
};
