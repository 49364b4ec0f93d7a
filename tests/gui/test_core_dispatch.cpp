// Commands reaching callbacks, usersubs, traps on unknown names.
#include "coretest.h"

using coredispatch = coretest;

static std::vector<std::string> calls;
static guieventrecord lastevent;
static void record(const char *who) {
  calls.push_back(who);
  lastevent = guievent;
}
static void onplay() { record("play"); }
static void onlist() { record("list"); }
static void onitem() { record("item"); }
static void onsub() { record("sub"); }
static void onsub2() { record("sub2"); }

static HWND command(int id, int code, LPARAM from) {
  HWND h = gethandle("w");
  SendMessageA(h, WM_COMMAND, MAKEWPARAM(id, code), from);
  return h;
}

TEST_F(coredispatch, aclickreachesthebuttonscallbackwiththeeventfilled) {
  calls.clear();
  declare("w.list", "listbox", 0x200001, onlist, 10, 10, 100, 100);
  declare("w.play", "button", 0x800000, onplay, 120, 10, 80, 24, "play");
  openplain("w");
  HWND button = gui.controls[2].handle;
  SendMessageA(button, BM_CLICK, 0, 0);
  pump();
  ASSERT_EQ(calls, std::vector<std::string>{"play"});
  EXPECT_EQ(lastevent.index, 2);
  EXPECT_EQ(lastevent.handle, button);
  EXPECT_EQ(lastevent.code, 0);
  EXPECT_EQ(lastevent.hwnd, gethandle("w"));
  EXPECT_EQ(lastevent.lparam, (LPARAM)button);
  EXPECT_EQ(guicurrentcontrol(), "w.play");
}

TEST_F(coredispatch, aselectionchangereachesthelistscallback) {
  calls.clear();
  declare("w.play", "button", 0x800000, onplay);
  declare("w.list", "listbox", 0x200001, onlist, 10, 10, 100, 100);
  openplain("w");
  HWND list = gui.controls[2].handle;
  HWND h = command(2, LBN_SELCHANGE, (LPARAM)list);
  ASSERT_EQ(calls, std::vector<std::string>{"list"});
  EXPECT_EQ(lastevent.index, 2);
  EXPECT_EQ(lastevent.code, 1);
  EXPECT_EQ(lastevent.wparam, (WPARAM)MAKEWPARAM(2, 1));
  EXPECT_EQ(lastevent.hwnd, h);
  EXPECT_EQ(gui.currentcontrol, 2);
}

TEST_F(coredispatch, onlyclicksandselectionchangespass) {
  calls.clear();
  declare("w.list", "listbox", 0x200001, onlist);
  openplain("w");
  HWND list = gui.controls[1].handle;
  command(1, LBN_DBLCLK, (LPARAM)list);     // code 2
  command(1, LBN_SETFOCUS, (LPARAM)list);   // code 4
  command(1, EN_CHANGE, (LPARAM)list);      // code 0x300
  EXPECT_TRUE(calls.empty());
}

TEST_F(coredispatch, anidwithsomeoneelseshandleisignoredunlessamenuitem) {
  calls.clear();
  declare("w.play", "button", 0x800000, onplay);
  declare("w.list", "listbox", 0x200001, onlist);
  declare("w.file.open", "menuitem", 0, onitem);
  openplain("w");
  gui.controls[3].handle = (HWND)1;  // as when the item has been appended
  HWND list = gui.controls[2].handle;
  command(1, 0, (LPARAM)list);       // the button's id, the list's handle
  command(1, 0, 0);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(gui.currentcontrol, 3) << "an ignored command leaves the current control";

  command(3, 0, 0);                  // menus send no handle
  ASSERT_EQ(calls, std::vector<std::string>{"item"});
  EXPECT_EQ(lastevent.index, 3);
  EXPECT_EQ(lastevent.handle, (HWND)1);
  EXPECT_EQ(guicurrentcontrol(), "w.file.open");
}

TEST_F(coredispatch, usersubsarereachedbytheirnumberandleavetheeventalone) {
  calls.clear();
  declare("w.play", "button", 0x800000, onplay);
  openplain("w");
  addusersub(1000, onsub);
  addusersub(10000, onsub2);
  guievent.index = 77;
  command(1000, 0, 0);
  command(10000, 1, 0);
  command(1001, 0, 0);   // nothing registered there
  command(1000, 2, 0);   // not a click
  EXPECT_EQ(calls, (std::vector<std::string>{"sub", "sub2"}));
  EXPECT_EQ(lastevent.index, 77);
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(coredispatch, usersubindexesarecheckedandchangeusersubreplacessilently) {
  calls.clear();
  addusersub(999, onsub);
  addusersub(10001, onsub);
  addusersub(1000, onsub);
  addusersub(1000, onsub2);
  changeusersub(1000, onsub2);
  changeusersub(10001, onsub);
  changeusersub(-1, onsub);
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{
                {"addusersub", "usersub index must be >= 1000\rindex asked : 999"},
                {"addusersub", "usersub index max = 10000 , asked= 10001"},
                {"addusersub", "usersub index : 1000  yet used !"},
                {"changeusersub", "usersub index max = 10000 , asked= 10001"},
                {"changeusersub", "usersub index must be >= 0\rindex asked : -1"}}));
  EXPECT_EQ(gui.usersub[999], nullptr);
  EXPECT_EQ(gui.usersub[1000], &onsub2);

  openplain("w");
  command(1000, 0, 0);
  EXPECT_EQ(calls, std::vector<std::string>{"sub2"});
  changeusersub(1000, 0);
  command(1000, 0, 0);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(coredispatch, trapsonunknownnameswarn) {
  declare("w.box", "static", 7);
  openplain("w");
  trapclose("main", onplay);
  trapkeyboard("w.box", onplay);      // a control is not a window
  trapleftmouse("w", onplay);         // a window is not a control
  trapmovemouse("w.nothere", onplay);
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"warning", "trapclose :main not fount !"},
                                                {"warning", "trapkeyboard :w.box not fount !"},
                                                {"warning", "trapleftmouse :w not fount !"},
                                                {"warning", "trapmovemouse :w.nothere not fount !"}}));
  EXPECT_EQ(gui.windows[1].keyboard, nullptr);
}
