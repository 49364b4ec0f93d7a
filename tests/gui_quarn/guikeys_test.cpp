// The Enter shortcut, typed characters, key traps, scroll bars, the pump.
#include "tests/gui_quarn/coretest.h"

// Sets the thread's own key state as the input queue would.
static void setkey(int vk, bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[vk] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

TEST_F(CoreTest, EnterCallsTheFocusedControlOncePerNewPress) {
  declare("w.msg", "edit", 0x1004, on<'k'>, 10, 10, 200, 60);
  openplain("w");
  SetForegroundWindow(gethandle("w"));
  SetFocus(gui.controls[1].handle);
  ASSERT_EQ(GetFocus(), gui.controls[1].handle);
  for (bool down : {true, true, true, false, true, false}) {
    setkey(VK_RETURN, down);
    guiscan();
  }
  EXPECT_EQ(heard, "kk") << "a held key fires once, each new press again";
  SetFocus(0);
  setkey(VK_RETURN, true);
  guiscan();
  setkey(VK_RETURN, false);
  EXPECT_EQ(heard, "kk") << "nothing focused, nothing called";
}

TEST_F(CoreTest, TypedCharactersAndTheKeyboardTrap) {
  openplain("w");
  HWND h = gethandle("w");
  trapkeyboard("w", on<'k'>);
  PostMessageA(h, WM_CHAR, 'x', 0);
  PostMessageA(h, WM_CHAR, 'y', 0);
  EXPECT_EQ(guigetkey(), "y") << "the last character replaces the one before";
  EXPECT_EQ(guigetkey(), "");
  SendMessageA(h, WM_KEYUP, VK_F5, 0x1234);
  EXPECT_EQ(heard, "k");
  EXPECT_EQ(heardevent.key, VK_F5);
  EXPECT_EQ(heardevent.msg, (UINT)WM_KEYUP);
  EXPECT_EQ(heardevent.lparam, 0x1234);
}

static int scrollpos = -1;
static void onscroll() { scrollpos = GetScrollPos((HWND)guievent.lparam, SB_CTL); }

TEST_F(CoreTest, ScrollBarsMoveBeforeTheirCallbackPagingATenthClamped) {
  declare("w.bar", "scrollbar", 1, onscroll, 10, 10, 20, 200);
  openplain("w");
  HWND bar = gui.controls[1].handle;
  struct { int min, max, from, request, thumb, seen; } cases[] = {
      {0, 5, 0, SB_PAGEDOWN, 0, 1},  // 0.5 rounds to 0, at least 1
      {0, 25, 0, SB_PAGEDOWN, 0, 2},  {0, 35, 0, SB_PAGEDOWN, 0, 4},  // ties to even
      {-20, 20, 0, SB_PAGEUP, 0, -4}, {0, 100, 95, SB_PAGEDOWN, 0, 100},
      {0, 100, 0, SB_LINEUP, 0, 0},   {0, 100, 7, SB_BOTTOM, 0, 8},  // bottom and top step by one
      {0, 100, 7, SB_TOP, 0, 6},      {0, 100, 7, SB_THUMBPOSITION, 300, 100},
      {0, 100, 7, SB_THUMBTRACK, 60, 60}, {0, 100, 7, SB_ENDSCROLL, 0, 7},
  };
  for (auto &c : cases) {
    SetScrollRange(bar, SB_CTL, c.min, c.max, FALSE);
    SetScrollPos(bar, SB_CTL, c.from, FALSE);
    SendMessageA(gethandle("w"), WM_VSCROLL, MAKEWPARAM(c.request, c.thumb), (LPARAM)bar);
    EXPECT_EQ(scrollpos, c.seen) << c.min << ".." << c.max << " from " << c.from
                                 << " request " << c.request;
  }
}

// A hook that validates a window the moment a look without removal sees its
// paint message: the message is gone before it could be taken.
static LRESULT CALLBACK validateonlook(int code, WPARAM remove, LPARAM lparam) {
  const MSG *m = reinterpret_cast<const MSG *>(lparam);
  if (code == HC_ACTION && remove == PM_NOREMOVE && m->message == WM_PAINT) ValidateRect(m->hwnd, nullptr);
  return CallNextHookEx(0, code, remove, lparam);
}

TEST_F(CoreTest, APassHandlesAThousandMessagesNeverBlocksAndTheQuitMessageEndsThePump) {
  openplain("w");
  HWND h = gethandle("w");
  pump(20);

  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, validateonlook, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(hook);
  InvalidateRect(h, nullptr, FALSE);
  // Should the pass wait for a message, this one ends the wait after 2 s.
  static HWND target;
  static HANDLE passed;
  target = h;
  passed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE late = CreateThread(nullptr, 0, [](void *) -> DWORD {
    if (WaitForSingleObject(passed, 2000) == WAIT_TIMEOUT) PostMessageA(target, WM_NULL, 0, 0);
    return 0;
  }, nullptr, 0, nullptr);
  const DWORD start = GetTickCount();
  guiscan();
  EXPECT_LT(GetTickCount() - start, 1000u) << "the pass waited for a message";
  SetEvent(passed);
  WaitForSingleObject(late, INFINITE);
  UnhookWindowsHookEx(hook);
  CloseHandle(late);
  CloseHandle(passed);
  pump();

  addusersub(1000, on<'k'>);
  for (int i = 0; i < 1500; i++) PostMessageA(h, WM_COMMAND, 1000, 0);
  guiscan();
  EXPECT_EQ(heard.size(), 1000u);
  guiscan();
  EXPECT_EQ(heard.size(), 1500u);

  PostQuitMessage(0);
  guiscan();
  PostMessageA(h, WM_CHAR, 'q', 0);
  EXPECT_EQ(guigetkey(), "");
  gui.quit = 0;  // the flag lasts for the run; later tests need a live pump
  EXPECT_EQ(guigetkey(), "q");
}
