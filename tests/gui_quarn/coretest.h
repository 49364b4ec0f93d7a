// coretest.h: CoreTest, the fixture of the toolkit-core tests. Every test starts from
// emptied tables (guiinit) with a thread answering message boxes, and ends
// with every window closed.
#pragma once
#include <gtest/gtest.h>

#include "tests/gui_quarn/coreboxes.h"
#include "gui_quarn/gui_quarn.h"

// Declares a control the way the control-kind operations do.
inline void declare(const std::string &fullname, const std::string &classname, uint32_t style,
                    guicallback callback = 0, int x = 0, int y = 0, int width = 10,
                    int height = 10, const std::string &text = "") {
  gui.pendingclass = classname;
  gui.pendingstyle = style;
  guiaddcontrol(fullname, text, callback, x, y, width, height, 0);
}

// Lets queued messages reach the window procedure.
inline void pump(int rounds = 5) {
  for (int i = 0; i < rounds; i++) guiscan();
}

inline void openplain(const std::string &name, int width = 400, int height = 300) {
  openwindow(name, name, 50, 50, width, height, WS_OVERLAPPEDWINDOW, 0);
}

// Callbacks on<'a'>, on<'b'> ... add their letter to `heard` and keep the event
// they saw; every test starts with nothing heard.
inline std::string heard;
inline guieventrecord heardevent;
template <char who>
void on() {
  heard += who;
  heardevent = guievent;
}

struct CoreTest : ::testing::Test {
  boxanswerer boxes;
  void SetUp() override {
    guiinit();
    gui.quit = 0;
    gui.enterlatch = 0;
    guievent = guieventrecord{};
    heard.clear();
  }
  void TearDown() override {
    guiclose("nomsg");
    pump();
  }
};
