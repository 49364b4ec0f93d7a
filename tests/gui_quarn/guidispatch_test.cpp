// Commands reaching callbacks and usersubs; traps on unknown names.
#include "tests/gui_quarn/coretest.h"

struct CoreDispatch : CoreTest {
  void SetUp() override {
    CoreTest::SetUp();
    declare("w.play", "button", 0x800000, on<'p'>, 120, 10, 80, 24, "play");
    declare("w.list", "listbox", 0x200001, on<'l'>, 10, 10, 100, 100);
    declare("w.file.open", "menuitem", 0, on<'m'>);
    openplain("w");
    gui.controls[3].handle = (HWND)1;  // as when the item has been appended
  }
  void command(int id, int code, HWND from) {
    SendMessageA(gethandle("w"), WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)from);
  }
};

TEST_F(CoreDispatch, ClicksSelectionsAndMenuItemsReachTheirCallbackWithTheEventFilled) {
  HWND button = gui.controls[1].handle, list = gui.controls[2].handle;
  SendMessageA(button, BM_CLICK, 0, 0);
  pump();
  ASSERT_EQ(heard, "p");
  EXPECT_EQ(heardevent.index, 1);
  EXPECT_EQ(heardevent.handle, button);
  EXPECT_EQ(heardevent.hwnd, gethandle("w"));
  EXPECT_EQ(guicurrentcontrol(), "w.play");

  command(2, LBN_SELCHANGE, list);
  ASSERT_EQ(heard, "pl");
  EXPECT_EQ(heardevent.index, 2);
  EXPECT_EQ(heardevent.code, 1);
  command(2, LBN_DBLCLK, list);  // codes other than 0 and 1 pass nobody
  command(1, 0, list);           // the button's id, the list's handle
  command(1, 0, 0);
  EXPECT_EQ(heard, "pl");
  EXPECT_EQ(guicurrentcontrol(), "w.list") << "an ignored command changes nothing";

  command(3, 0, 0);  // menus send no handle
  EXPECT_EQ(heard, "plm");
  EXPECT_EQ(heardevent.index, 3);
}

TEST_F(CoreDispatch, UserSubsAreCheckedReachedByNumberAndLeaveTheEventAlone) {
  addusersub(999, on<'a'>);
  addusersub(10001, on<'a'>);
  addusersub(1000, on<'a'>);
  addusersub(1000, on<'b'>);
  changeusersub(1000, on<'c'>);  // replaces silently
  changeusersub(10001, on<'a'>);
  changeusersub(-1, on<'a'>);
  changeusersub(999, on<'e'>);
  addusersub(10000, on<'d'>);
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{
                {"addusersub", "usersub index must be >= 1000\rindex asked : 999"},
                {"addusersub", "usersub index max = 10000 , asked= 10001"},
                {"addusersub", "usersub index : 1000  yet used !"},
                {"changeusersub", "usersub index max = 10000 , asked= 10001"},
                {"changeusersub", "usersub index must be >= 0\rindex asked : -1"}}));

  guievent.index = 77;
  command(1000, 0, 0);
  command(10000, 1, 0);
  command(1001, 0, 0);  // nothing registered there
  command(1000, 2, 0);  // not a click
  changeusersub(1000, 0);
  command(1000, 0, 0);
  EXPECT_EQ(heard, "cd");
  EXPECT_EQ(gui.usersub[999], &on<'e'>) << "changeusersub has no lower bound";
  EXPECT_EQ(heardevent.index, 77);
}

TEST_F(CoreTest, TrapsOnUnknownNamesWarn) {
  declare("w.box", "static", 7);
  openplain("w");
  trapclose("main", on<'x'>);
  trapkeyboard("w.box", on<'x'>);  // a control is not a window
  trapleftmouse("w", on<'x'>);     // a window is not a control
  trapmovemouse("w.nothere", on<'x'>);
  trapresize("main", on<'x'>);
  traprightmouse("main.x", on<'x'>);
  trapleftmouseup("main.x", on<'x'>);
  traprightmouseup("main.x", on<'x'>);
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"warning", "trapclose :main not fount !"},
                                                {"warning", "trapkeyboard :w.box not fount !"},
                                                {"warning", "trapleftmouse :w not fount !"},
                                                {"warning", "trapmovemouse :w.nothere not fount !"},
                                                {"warning", "trapresize :main not fount !"},
                                                {"warning", "traprightmouse :main.x not fount !"},
                                                {"warning", "trapleftmouseup :main.x not fount !"},
                                                {"warning", "traprightmouseup :main.x not fount !"}}));
}
