// Menu bars: built only on open windows, item commands through the command
// dispatch, states and captions read back from the native menus, and what
// closing leaves behind.
#include "tests/gui_quarn/coretest.h"

static HMENU dropdown(const std::string &menu) {
  return (HMENU)gui.controls[guicontrolindex(menu)].handle;
}

static std::string caption(HMENU menu, int position) {
  char text[1024] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

struct Menus : CoreTest {
  // w.file holding open, wrap and quit on the open window w.
  void addfile() {
    addmenu("w.file", "file", MF_POPUP);
    addmenuitem("w.file.open", "open", on<'o'>, 0);
    addmenuitem("w.file.wrap", "wrap", on<'w'>, 0);
    addmenuitem("w.file.quit", "quit", on<'q'>, 0);
  }
  void choose(const std::string &item) {
    SendMessageA(gethandle("w"), WM_COMMAND, MAKEWPARAM(guicontrolindex(item), 0), 0);
  }
};

TEST_F(Menus, MisuseNamesWhatIsMissingAndSlotsWaitForTheOpenWindow) {
  addmenu("w.file", "file", MF_POPUP);  // w never opened
  openplain("w");
  closewindow("w");
  addmenu("w.file", "file", MF_POPUP);  // w closed
  setmenutext("w.file", 1, "x");
  openplain("w");
  addmenuitem("w.file.open", "open", on<'o'>, 0);  // no bar yet
  checkmenuitem("w.file", 1);
  addmenu("w.edit", "edit", MF_POPUP);
  addmenuitem("w.file.open", "open", on<'o'>, 0);  // w.file not built
  addmenu("w.file", "file", MF_POPUP);             // now it is, in its old slot
  addmenuitem("w.file.open", "open", on<'o'>, 0);
  addmenuitem("w.file.open", "open", on<'o'>, 0);
  addmenu("w.edit", "edit", MF_POPUP);             // the last one declared
  addmenu("w.file", "file", MF_POPUP);
  checkmenuitem("w.nothing", 1);
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"addmenu", "window not found : w"},
                                  {"addmenu", "window not opened : w"},
                                  {"setmenutext", "window not opened : w"},
                                  {"addmenuitem", "window has no menu opened : w"},
                                  {"setmenuitemstate", "window has no menu opened : w"},
                                  {"addmenuitem", "menu not found : w.file"},
                                  {"addmenuitem", "w.file.open : yet exists !"},
                                  {"addmenu", "w.edit : yet exists !"},
                                  {"addmenu", "w.file : yet exists !"},
                                  {"setmenuitemstate", "menu not found : w.nothing"}}));
  HMENU bar = GetMenu(gethandle("w"));
  ASSERT_EQ(GetMenuItemCount(bar), 2) << "nothing is built twice";
  EXPECT_EQ((std::vector<HMENU>{GetSubMenu(bar, 0), GetSubMenu(bar, 1)}),
            (std::vector<HMENU>{dropdown("w.edit"), dropdown("w.file")}));
  EXPECT_EQ(GetMenuItemCount(dropdown("w.file")), 1);
}

TEST_F(Menus, ItemsCallBackWithTheirSlotAndTakeStatesAndCaptions) {
  openplain("w");
  addfile();
  HMENU file = dropdown("w.file");
  int open = guicontrolindex("w.file.open");
  EXPECT_EQ(GetMenuItemID(file, 0), (UINT)open);
  choose("w.file.quit");
  choose("w.file.open");
  EXPECT_EQ(heard, "qo");
  EXPECT_EQ(heardevent.index, open);
  EXPECT_EQ(guicurrentcontrol(), "w.file.open");

  auto state = [file](int position) { return GetMenuState(file, position - 1, MF_BYPOSITION); };
  checkmenuitem("w.file", 2);
  EXPECT_EQ((std::vector<UINT>{state(1), state(2)}), (std::vector<UINT>{0, MF_CHECKED}));
  disablemenuitem("w.file", 2);
  EXPECT_EQ(state(2), (UINT)(MF_GRAYED | MF_DISABLED)) << "greying removes the check mark";
  checkmenuitem("w.file", 2);
  EXPECT_EQ(state(2), (UINT)MF_CHECKED) << "checking enables again";
  disablemenuitem("w.file", 0);
  EXPECT_EQ(state(2), (UINT)MF_CHECKED) << "position 0 is no item";

  std::string longtext;
  for (int i = 0; i < 300; i++) longtext += (char)('a' + i % 26);
  setmenutext("w.file", 3, longtext);
  EXPECT_EQ(caption(file, 2), longtext.substr(0, 254));
  choose("w.file.quit");
  EXPECT_EQ(heard, "qoq") << "the renamed item keeps its command";
}

TEST_F(Menus, ClosingDestroysTheMenusAndTheyAreAddedAgainInTheSameSlots) {
  openplain("w");
  addfile();
  checkmenuitem("w.file", 1);
  HMENU oldbar = GetMenu(gethandle("w"));
  closewindow("w");
  EXPECT_FALSE(IsMenu(oldbar));
  EXPECT_EQ(gui.controls[guicontrolindex("w.file.open")].handle, nullptr);

  openplain("w");
  EXPECT_EQ(GetMenu(gethandle("w")), nullptr) << "the menus are gone";
  int slots = gui.controlsused;
  addfile();
  EXPECT_EQ(gui.controlsused, slots);
  EXPECT_TRUE(boxes.seen().empty()) << "no \"yet exists\" after the close";
  EXPECT_EQ(GetMenuItemCount(dropdown("w.file")), 3);
  EXPECT_EQ(GetMenuState(dropdown("w.file"), 0, MF_BYPOSITION), 0u) << "a new, unchecked item";
  choose("w.file.wrap");
  EXPECT_EQ(heard, "w");
}
