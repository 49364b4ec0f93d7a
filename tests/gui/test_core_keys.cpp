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
  HWND edit = gui.controls[1].handle;
  SetForegroundWindow(gethandle("w"));
  SetFocus(edit);
  ASSERT_EQ(GetFocus(), edit);

  setkey(VK_RETURN, true);
  guiscan();
  guiscan();
  guiscan();
  EXPECT_EQ(enters, 1) << "a held key fires once";
  setkey(VK_RETURN, false);
  guiscan();
  setkey(VK_RETURN, true);
  guiscan();
  EXPECT_EQ(enters, 2);
  setkey(VK_RETURN, false);
  guiscan();

  SetFocus(0);
  setkey(VK_RETURN, true);
  guiscan();
  setkey(VK_RETURN, false);
  guiscan();
  EXPECT_EQ(enters, 2) << "nothing focused, nothing called";
}

TEST_F(corekeys, keydownreadsthekeystate) {
  setkey('A', true);
  EXPECT_EQ(guikeydown('A'), -1);
  setkey('A', false);
  EXPECT_EQ(guikeydown('A'), 0);
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
  EXPECT_EQ(keyevent.hwnd, h);
}

static int scrollpos = -1;
static void onscroll() { scrollpos = GetScrollPos((HWND)guievent.lparam, SB_CTL); }

struct corescroll : coretest {
  HWND bar = 0;
  HWND window = 0;
  void SetUp() override {
    coretest::SetUp();
    declare("w.bar", "scrollbar", 1, onscroll, 10, 10, 20, 200);
    declare("w.still", "scrollbar", 0, 0, 40, 10, 200, 20);
    openplain("w");
    bar = gui.controls[1].handle;
    window = gethandle("w");
  }
  // Sends one scroll request and returns the position the callback saw.
  int request(int min, int max, int from, int what, int thumb = 0) {
    SetScrollRange(bar, SB_CTL, min, max, FALSE);
    SetScrollPos(bar, SB_CTL, from, FALSE);
    scrollpos = -1;
    SendMessageA(window, WM_VSCROLL, MAKEWPARAM(what, thumb), (LPARAM)bar);
    return scrollpos;
  }
};

TEST_F(corescroll, pagingmovesatenthoftherangehalvestoeven) {
  EXPECT_EQ(request(0, 5, 0, SB_PAGEDOWN), 1) << "0.5 rounds to 0, at least 1";
  EXPECT_EQ(request(0, 100, 0, SB_PAGEDOWN), 10);
  EXPECT_EQ(request(0, 25, 0, SB_PAGEDOWN), 2) << "2.5 rounds to 2";
  EXPECT_EQ(request(0, 35, 0, SB_PAGEDOWN), 4) << "3.5 rounds to 4";
  EXPECT_EQ(request(0, 100, 50, SB_PAGEUP), 40);
  EXPECT_EQ(request(-20, 20, 0, SB_PAGEDOWN), 4);
}

TEST_F(corescroll, everyrequestisclampedtotherange) {
  EXPECT_EQ(request(0, 100, 95, SB_PAGEDOWN), 100);
  EXPECT_EQ(request(0, 100, 3, SB_PAGEUP), 0);
  EXPECT_EQ(request(0, 100, 100, SB_LINEDOWN), 100);
  EXPECT_EQ(request(0, 100, 0, SB_LINEUP), 0);
  EXPECT_EQ(request(0, 100, 7, SB_LINEDOWN), 8);
  EXPECT_EQ(request(0, 100, 7, SB_LINEUP), 6);
  EXPECT_EQ(request(0, 100, 7, SB_BOTTOM), 8) << "bottom and top step by one";
  EXPECT_EQ(request(0, 100, 7, SB_TOP), 6);
  EXPECT_EQ(request(0, 100, 7, SB_THUMBTRACK, 60), 60);
  EXPECT_EQ(request(0, 100, 7, SB_THUMBPOSITION, 300), 100);
  EXPECT_EQ(request(0, 100, 7, SB_ENDSCROLL), 7);
}

TEST_F(corescroll, abarwithoutacallbackandthewindowsownbarsdonotmove) {
  HWND still = gui.controls[2].handle;
  SetScrollRange(still, SB_CTL, 0, 100, FALSE);
  SetScrollPos(still, SB_CTL, 50, FALSE);
  SendMessageA(window, WM_HSCROLL, SB_PAGEDOWN, (LPARAM)still);
  EXPECT_EQ(GetScrollPos(still, SB_CTL), 50);
  scrollpos = -1;
  SendMessageA(window, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(scrollpos, -1);
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
  HWND h = gethandle("w");
  PostQuitMessage(0);
  guiscan();
  EXPECT_EQ(gui.quit, 1);
  PostMessageA(h, WM_CHAR, 'q', 0);
  EXPECT_EQ(guigetkey(), "");
  gui.quit = 0;  // the flag lasts for the run; later tests need a live pump
  EXPECT_EQ(guigetkey(), "q");
}
