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

static void command(int id, int code, LPARAM from) {
  SendMessageA(gethandle("w"), WM_COMMAND, MAKEWPARAM(id, code), from);
}

struct corecommands : coretest {
  HWND list = 0;
  void SetUp() override {
    coretest::SetUp();
    calls.clear();
    declare("w.play", "button", 0x800000, onplay, 120, 10, 80, 24, "play");
    declare("w.list", "listbox", 0x200001, onlist, 10, 10, 100, 100);
    declare("w.file.open", "menuitem", 0, onitem);
    openplain("w");
    gui.controls[3].handle = (HWND)1;  // as when the item has been appended
    list = gui.controls[2].handle;
  }
};

TEST_F(corecommands, clicksandselectionchangesreachtheircallbackwiththeeventfilled) {
  HWND button = gui.controls[1].handle;
  SendMessageA(button, BM_CLICK, 0, 0);
  pump();
  ASSERT_EQ(calls, std::vector<std::string>{"play"});
  EXPECT_EQ(lastevent.index, 1);
  EXPECT_EQ(lastevent.handle, button);
  EXPECT_EQ(lastevent.code, 0);
  EXPECT_EQ(lastevent.hwnd, gethandle("w"));
  EXPECT_EQ(guicurrentcontrol(), "w.play");

  command(2, LBN_SELCHANGE, (LPARAM)list);
  ASSERT_EQ(calls.back(), "list");
  EXPECT_EQ(lastevent.index, 2);
  EXPECT_EQ(lastevent.handle, list);
  EXPECT_EQ(lastevent.code, 1);
  EXPECT_EQ(lastevent.wparam, (WPARAM)MAKEWPARAM(2, 1));
  EXPECT_EQ(guicurrentcontrol(), "w.list");

  command(2, LBN_DBLCLK, (LPARAM)list);  // codes other than 0 and 1 pass nobody
  command(2, EN_CHANGE, (LPARAM)list);
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(corecommands, anidwithsomeoneelseshandleisignoredunlessamenuitem) {
  command(1, 0, (LPARAM)list);  // the button's id, the list's handle
  command(1, 0, 0);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(guicurrentcontrol(), "w.file.open") << "an ignored command changes nothing";

  gui.currentcontrol = 1;
  command(3, 0, 0);  // menus send no handle
  ASSERT_EQ(calls, std::vector<std::string>{"item"});
  EXPECT_EQ(lastevent.index, 3);
  EXPECT_EQ(guicurrentcontrol(), "w.file.open");
}

TEST_F(corecommands, usersubsarereachedbytheirnumberandleavetheeventalone) {
  addusersub(1000, onsub);
  addusersub(10000, onsub2);
  guievent.index = 77;
  command(1000, 0, 0);
  command(10000, 1, 0);
  command(1001, 0, 0);  // nothing registered there
  command(1000, 2, 0);  // not a click
  EXPECT_EQ(calls, (std::vector<std::string>{"sub", "sub2"}));
  EXPECT_EQ(lastevent.index, 77);
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
  trapkeyboard("w.box", onplay);  // a control is not a window
  trapleftmouse("w", onplay);     // a window is not a control
  trapmovemouse("w.nothere", onplay);
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"warning", "trapclose :main not fount !"},
                                                {"warning", "trapkeyboard :w.box not fount !"},
                                                {"warning", "trapleftmouse :w not fount !"},
                                                {"warning", "trapmovemouse :w.nothere not fount !"}}));
}
