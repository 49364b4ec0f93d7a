// The Enter shortcut, typed characters, key traps, scroll bars, the pump.
#include "coretest.h"

using corekeys = coretest;

static int enters = 0;
static void onenter() { enters++; }

// Sets the thread's own key state as the input queue would.
static void setkey(int vk, bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[vk] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

TEST_F(corekeys, entercallsthefocusedcontrolsoncepernpress) {
  enters = 0;
  declare("w.msg", "edit", 0x1004, onenter, 10, 10, 200, 60);
  openplain("w");
  SetForegroundWindow(gethandle("w"));
  SetFocus(gui.controls[1].handle);
  ASSERT_EQ(GetFocus(), gui.controls[1].handle);

  for (bool down : {true, true, true, false, true, false}) {
    setkey(VK_RETURN, down);
    guiscan();
  }
  EXPECT_EQ(enters, 2) << "a held key fires once, each new press again";

  SetFocus(0);
  setkey(VK_RETURN, true);
  guiscan();
  setkey(VK_RETURN, false);
  EXPECT_EQ(enters, 2) << "nothing focused, nothing called";
}

static guieventrecord keyevent;
static int keyevents = 0;
static void onkey() {
  keyevents++;
  keyevent = guievent;
}

TEST_F(corekeys, typedcharactersandthekeyboardtrap) {
  openplain("w");
  HWND h = gethandle("w");
  keyevents = 0;
  trapkeyboard("w", onkey);
  PostMessageA(h, WM_CHAR, 'x', 0);
  PostMessageA(h, WM_CHAR, 'y', 0);
  EXPECT_EQ(guigetkey(), "y") << "the last character replaces the one before";
  EXPECT_EQ(guigetkey(), "");

  SendMessageA(h, WM_KEYUP, VK_F5, 0x1234);
  EXPECT_EQ(keyevents, 1);
  EXPECT_EQ(keyevent.key, VK_F5);
  EXPECT_EQ(keyevent.msg, (UINT)WM_KEYUP);
  EXPECT_EQ(keyevent.lparam, 0x1234);
}

static int scrollpos = -1;
static void onscroll() { scrollpos = GetScrollPos((HWND)guievent.lparam, SB_CTL); }

TEST_F(corekeys, scrollbarsmovebeforetheircallbackpagingatenthclamped) {
  declare("w.bar", "scrollbar", 1, onscroll, 10, 10, 20, 200);
  declare("w.still", "scrollbar", 0, 0, 40, 10, 200, 20);
  openplain("w");
  HWND bar = gui.controls[1].handle;
  struct { int min, max, from, request, thumb, seen; } cases[] = {
      {0, 5, 0, SB_PAGEDOWN, 0, 1},      // 0.5 rounds to 0, at least 1
      {0, 100, 0, SB_PAGEDOWN, 0, 10},
      {0, 25, 0, SB_PAGEDOWN, 0, 2},     // 2.5 rounds to 2
      {0, 35, 0, SB_PAGEDOWN, 0, 4},     // 3.5 rounds to 4
      {-20, 20, 0, SB_PAGEUP, 0, -4},
      {0, 100, 95, SB_PAGEDOWN, 0, 100}, {0, 100, 3, SB_PAGEUP, 0, 0},
      {0, 100, 100, SB_LINEDOWN, 0, 100}, {0, 100, 0, SB_LINEUP, 0, 0},
      {0, 100, 7, SB_BOTTOM, 0, 8},      // bottom and top step by one
      {0, 100, 7, SB_TOP, 0, 6},
      {0, 100, 7, SB_THUMBTRACK, 60, 60}, {0, 100, 7, SB_THUMBPOSITION, 300, 100},
      {0, 100, 7, SB_ENDSCROLL, 0, 7},
  };
  for (auto &c : cases) {
    SetScrollRange(bar, SB_CTL, c.min, c.max, FALSE);
    SetScrollPos(bar, SB_CTL, c.from, FALSE);
    scrollpos = -1;
    SendMessageA(gethandle("w"), WM_VSCROLL, MAKEWPARAM(c.request, c.thumb), (LPARAM)bar);
    EXPECT_EQ(scrollpos, c.seen) << c.min << ".." << c.max << " from " << c.from
                                 << " request " << c.request;
  }

  HWND still = gui.controls[2].handle;  // no callback: nobody moves it
  SetScrollRange(still, SB_CTL, 0, 100, FALSE);
  SetScrollPos(still, SB_CTL, 50, FALSE);
  SendMessageA(gethandle("w"), WM_HSCROLL, SB_PAGEDOWN, (LPARAM)still);
  EXPECT_EQ(GetScrollPos(still, SB_CTL), 50);
}

static int subcalls = 0;
static void onsub() { subcalls++; }

TEST_F(corekeys, apasshandlesatmostathousandmessages) {
  openplain("w");
  HWND h = gethandle("w");
  pump(20);
  addusersub(1000, onsub);
  subcalls = 0;
  for (int i = 0; i < 1500; i++) PostMessageA(h, WM_COMMAND, 1000, 0);
  guiscan();
  EXPECT_EQ(subcalls, 1000);
  guiscan();
  EXPECT_EQ(subcalls, 1500);
}

TEST_F(corekeys, afterthequitmessagethepumpstaysinert) {
  openplain("w");
  PostQuitMessage(0);
  guiscan();
  PostMessageA(gethandle("w"), WM_CHAR, 'q', 0);
  EXPECT_EQ(guigetkey(), "");
  gui.quit = 0;  // the flag lasts for the run; later tests need a live pump
  EXPECT_EQ(guigetkey(), "q");
}
