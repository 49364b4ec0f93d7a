// What guiinit and guiclose keep and forget; the current control and handle
// (a zero handle names nothing); guiwait.
#include "tests/gui_quarn/coretest.h"

using KeepAndForget = CoreTest;

TEST_F(KeepAndForget, GuiInitForgetsEverythingGuiCloseKeepsTheNames) {
  addedit("w.e", "", on<'a'>, 10, 10, 100, 24, 0);
  addgraphicbox("w.g", 10, 40, 20, 20, "gfx", 0);
  trapleftmouse("w.g", on<'a'>);
  addusersub(1000, on<'a'>);
  openplain("w");
  trapclose("w", on<'a'>);  // a window's trap needs the window registered

  guiclose("nomsg");
  EXPECT_EQ(gui.started, 0);
  EXPECT_EQ(iswindowopen("w"), 0);
  EXPECT_EQ(gui.windowsused * 10 + gui.controlsused, 12) << "names and counters stay";
  EXPECT_EQ(getgraphicbox("w.g"), nullptr) << "images are freed";
  EXPECT_EQ(gui.editbrush, (HBRUSH)0);
  EXPECT_EQ(gui.windows[1].close, &on<'a'>) << "traps stay";
  openplain("w");
  EXPECT_EQ(iswindowopen("w"), 1);
  EXPECT_NE(gethandle("w.e"), (HWND)0) << "reopened with its controls";
  HDC dc = GetDC(gethandle("w.e"));
  EXPECT_EQ(SendMessageA(gethandle("w"), WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)gethandle("w.e")),
            (LRESULT)GetStockObject(WHITE_BRUSH)) << "no edit brush: the stock white one";
  ReleaseDC(gethandle("w.e"), dc);

  guiinit();
  EXPECT_EQ(gui.windowsused + gui.controlsused, 0);
  EXPECT_EQ(iswindowopen("w"), 0);
  EXPECT_EQ(gui.usersub[1000], (guicallback)0);
  EXPECT_EQ(gui.windows[1].close, (guicallback)0);
  EXPECT_EQ(gui.controls[2].leftmouse, (guicallback)0);
  EXPECT_NE(gui.editbrush, (HBRUSH)0);
  addusersub(1000, on<'a'>);
  EXPECT_TRUE(boxes.seen().empty()) << "slot 1000 is free again";
}

TEST_F(KeepAndForget, TheCurrentControlAndHandleFollowTheOperationsThatSetThem) {
  addcombobox("w.co", 0, 10, 10, 100, 100);
  addedit("w.e", "", 0, 10, 120, 100, 24, 0);
  openplain("w");
  EXPECT_EQ(guicurrentcontrol(), "w.e") << "the last one added";
  setcombolist("w.co", {"a", "b"});
  EXPECT_EQ(guicurrentcontrol(), "w.co");
  gethandle("w");  // makes the window the current handle
  guisetfocushandle(gui.controls[2].handle);
  EXPECT_EQ(gui.currenthandle, gui.controls[2].handle);
  EXPECT_EQ(gettexthandle(0), "");
  EXPECT_EQ(getguiname(gui.controls[1].handle), "w.co");
  EXPECT_EQ(getguiname(gethandle("w")), "w");
  addstatic("shut.s", "", 0, 0, 10, 10, 0);
  openplain("shut");
  closewindow("shut");
  EXPECT_EQ(getguiname(0), "") << "not the closed window nor its control, both at handle 0";
}

TEST_F(KeepAndForget, GuiWaitDispatchesOneMessageButNeverTheQuit) {
  openplain("w");
  pump(20);
  addusersub(1000, on<'a'>);
  gui.quit = 1;  // guiscan inert: guiwait takes exactly the next message
  PostQuitMessage(0);
  guiwait();
  PostMessageA(gethandle("w"), WM_COMMAND, 1000, 0);
  guiwait();
  EXPECT_EQ(heard, "a");
  gui.quit = 0;
}
