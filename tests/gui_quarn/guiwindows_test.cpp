// Opening, closing and reopening windows; the close box; guiclose.
#include "tests/gui_quarn/coretest.h"

TEST_F(CoreTest, OpeningMakesTheWindowsControlsAndReopeningMakesThemAgain) {
  declare("other.b", "button", 0);
  declare("w.b", "button", 0x800000, 0, 10, 10, 80, 24, "play");
  declare("w.e", "edit", 0x1004);
  declare("w.file", "menu", 0);
  openplain("w");
  HWND first = gethandle("w");
  EXPECT_TRUE(IsWindowVisible(first));
  for (int id : {2, 3}) {  // the control's index is its identifier
    HWND child = GetDlgItem(first, id);
    ASSERT_NE(child, (HWND)0);
    ASSERT_EQ(child, gui.controls[id].handle);
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    EXPECT_STREQ(CharLowerA(cls), gui.controls[id].classname.c_str());
    uint32_t style = gui.controls[id].style | 0x54000000u;  // child, visible, clip siblings
    EXPECT_EQ((uint32_t)GetWindowLongA(child, GWL_STYLE) & style, style);
  }
  EXPECT_EQ(gettext("w.b"), "play");
  EXPECT_EQ(gui.controls[1].handle, (HWND)0) << "another window's control";
  EXPECT_EQ(gui.controls[4].handle, (HWND)0) << "menus are not made at opening";

  openwindow("w", "again", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
  EXPECT_EQ(gethandle("w"), first);
  EXPECT_EQ(gettext("w"), "w") << "the first window is left as it was";
  declare("w.late", "button", 0);  // declared while open: made at the reopening
  EXPECT_EQ(gui.controls[5].handle, (HWND)0);
  closewindow("w");
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(gui.controls[2].handle, (HWND)0);
  closewindow("w");
  closewindow("neveropened");

  openplain("w");
  EXPECT_EQ(gui.windowsused, 1);
  for (int id : {2, 3, 5}) EXPECT_NE(GetDlgItem(gethandle("w"), id), (HWND)0) << id;
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guinotice", "w window yet opened !"},
                                                {"guinotice", "w window yet closed !"}}));
}

TEST_F(CoreTest, TheCloseBoxOnlyCallsTheTrap) {
  openplain("w");
  HWND h = gethandle("w");
  EXPECT_EQ(SendMessageA(h, WM_CLOSE, 0, 0), 0);
  pump();
  EXPECT_TRUE(IsWindow(h)) << "a window without a close trap cannot be closed";
  trapclose("w", on<'c'>);
  PostMessageA(h, WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(heard, "c");
  EXPECT_EQ(heardevent.hwnd, h);
  EXPECT_TRUE(IsWindow(h)) << "the trap decides; the toolkit destroys nothing";
  trapclose("w", 0);
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(heard, "c") << "a zero callback removes the trap";
}

TEST_F(CoreTest, GuiCloseClosesAllWindowsAndTellsOfEach) {
  openplain("a");
  openplain("b");
  openplain("c");
  closewindow("b");
  guiclose("");
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"guinotice", "a : window closed by guiclose !"},
                                  {"guinotice", "c : window closed by guiclose !"}}));
  EXPECT_EQ(iswindowopen("a") + iswindowopen("c"), 0);
  // What survives guiclose, and "nomsg": guikeepandforget_test.cpp.
}
