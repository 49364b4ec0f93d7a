// Menu bars: building them only on open windows, item commands, states and
// captions read back from the native menus, and what closing leaves behind.
#include "coretest.h"

static std::string calls;
static guieventrecord lastevent;
template <char who>
static void on() {
  calls += who;
  lastevent = guievent;
}

static HMENU dropdown(const std::string &menu) { return (HMENU)gui.controls[guicontrolindex(menu)].handle; }

static std::string caption(HMENU menu, int position) {
  char text[1024] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

struct menus : coretest {
  void SetUp() override {
    coretest::SetUp();
    calls.clear();
  }
  // "w" open with the drop-down w.file holding open, wrap and quit.
  void openwithfile() {
    openplain("w");
    addmenu("w.file", "file", MF_POPUP);
    addmenuitem("w.file.open", "open", on<'o'>, 0);
    addmenuitem("w.file.wrap", "wrap", on<'w'>, 0);
    addmenuitem("w.file.quit", "quit", on<'q'>, 0);
  }
  void choose(const std::string &item) {
    SendMessageA(gethandle("w"), WM_COMMAND, MAKEWPARAM(guicontrolindex(item), 0), 0);
  }
};

TEST_F(menus, amenuneedsanopenwindowanditsslotwaitsforone) {
  addmenu("w.file", "file", MF_POPUP);  // w was never opened
  openplain("w");
  closewindow("w");
  addmenu("w.file", "file", MF_POPUP);  // w is closed
  int slot = guicontrolindex("w.file");
  EXPECT_EQ(gui.controls[slot].handle, nullptr);
  EXPECT_EQ(gui.controls[slot].classname, "menu");

  openplain("w");
  addmenu("w.file", "&file", MF_POPUP);
  addmenu("w.view", "view", MF_POPUP);
  EXPECT_EQ(guicontrolindex("w.file"), slot) << "the same slot, now built";
  HMENU bar = GetMenu(gethandle("w"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar, gui.windows[guiwindowindex("w")].menubar);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetSubMenu(bar, 0), dropdown("w.file"));
  EXPECT_EQ(caption(bar, 0), "&file");
  EXPECT_EQ(caption(bar, 1), "view");

  addmenu("w.file", "file", MF_POPUP);  // built already
  addmenu("w.view", "view", MF_POPUP);  // built already, and the last one declared
  EXPECT_EQ(GetMenuItemCount(bar), 2) << "nothing is built twice";
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"addmenu", "window not found : w"},
                                                {"addmenu", "window not opened : w"},
                                                {"addmenu", "w.file : yet exists !"},
                                                {"addmenu", "w.view : yet exists !"}}));
}

TEST_F(menus, itemslandintheirdropdownandcallbackwiththeirslot) {
  openplain("w");
  addmenuitem("w.file.open", "open", on<'o'>, 0);  // no bar yet
  addmenu("w.edit", "edit", MF_POPUP);
  addmenuitem("w.file.open", "open", on<'o'>, 0);  // w.file not made
  addmenuitem("x.file.open", "open", on<'o'>, 0);  // no window x
  addmenu("w.file", "file", MF_POPUP);
  addmenuitem("w.file.open", "open", on<'o'>, 0);
  addmenuitem("w.file.save", "save", on<'s'>, 0);
  addmenuitem("w.file.open", "open", on<'o'>, 0);  // appended already
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"addmenuitem", "window has no menu opened : w"},
                                  {"addmenuitem", "menu not found : w.file"},
                                  {"addmenuitem", "window not found : x"},
                                  {"addmenuitem", "w.file.open : yet exists !"}}));

  HMENU file = dropdown("w.file");
  int open = guicontrolindex("w.file.open"), save = guicontrolindex("w.file.save");
  ASSERT_EQ(GetMenuItemCount(file), 2);
  EXPECT_EQ((std::vector<UINT>{GetMenuItemID(file, 0), GetMenuItemID(file, 1)}),
            (std::vector<UINT>{(UINT)open, (UINT)save}));
  EXPECT_EQ(GetMenuItemCount(dropdown("w.edit")), 0);
  EXPECT_EQ(gui.controls[open].handle, (HWND)1);

  choose("w.file.save");
  choose("w.file.open");
  EXPECT_EQ(calls, "so");
  EXPECT_EQ(lastevent.index, open);
  EXPECT_EQ(lastevent.hwnd, gethandle("w"));
  EXPECT_EQ(guicurrentcontrol(), "w.file.open");
}

TEST_F(menus, astatereplacesthewholeitemstate) {
  openwithfile();
  HMENU file = dropdown("w.file");
  auto state = [file](int position) { return GetMenuState(file, position - 1, MF_BYPOSITION); };
  checkmenuitem("w.file", 2);
  EXPECT_EQ(state(2), (UINT)MF_CHECKED);
  EXPECT_EQ(state(1), 0u) << "only the second item";
  disablemenuitem("w.file", 2);
  EXPECT_EQ(state(2), (UINT)(MF_GRAYED | MF_DISABLED)) << "greying removes the check mark";
  checkmenuitem("w.file", 2);
  EXPECT_EQ(state(2), (UINT)MF_CHECKED) << "checking enables again";
  uncheckmenuitem("w.file", 2);
  EXPECT_EQ(state(2), 0u);
  setmenuitemstate("w.file", 3, MF_CHECKED | MF_GRAYED);
  EXPECT_EQ(state(3), (UINT)(MF_CHECKED | MF_GRAYED));
  enablemenuitem("w.file", 3);
  EXPECT_EQ(state(3), 0u);
  checkmenuitem("w.file", 0);  // position 0 does nothing
  EXPECT_EQ((std::vector<UINT>{state(1), state(2), state(3)}), (std::vector<UINT>{0, 0, 0}));
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(menus, captionsarereplacedandcutat254characters) {
  openwithfile();
  HMENU file = dropdown("w.file");
  setmenutext("w.file", 1, "open again");
  EXPECT_EQ(caption(file, 0), "open again");
  std::string longtext;
  for (int i = 0; i < 300; i++) longtext += (char)('a' + i % 26);
  setmenutext("w.file", 3, longtext);
  EXPECT_EQ(caption(file, 2), longtext.substr(0, 254));
  EXPECT_EQ(caption(file, 1), "wrap");
  choose("w.file.quit");
  EXPECT_EQ(calls, "q") << "the item keeps its command";
}

TEST_F(menus, stateandtextchangesnamewhatismissing) {
  openplain("w");
  checkmenuitem("w.nothing", 1);
  setmenutext("w.file", 1, "x");            // not even declared
  addmenu("v.file", "file", MF_POPUP);      // declared, v never opened
  openplain("v");
  checkmenuitem("v.file", 1);               // v open, no bar
  closewindow("v");
  setmenutext("v.file", 1, "x");            // v closed
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"setmenuitemstate", "menu not found : w.nothing"},
                                  {"setmenutext", "menu not found : w.file"},
                                  {"addmenu", "window not found : v"},
                                  {"setmenuitemstate", "window has no menu opened : v"},
                                  {"setmenutext", "window not opened : v"}}));
}

TEST_F(menus, closingdestroysthebarandthemenuscanbeaddedagain) {
  openwithfile();
  checkmenuitem("w.file", 1);
  HMENU oldbar = GetMenu(gethandle("w"));
  closewindow("w");
  EXPECT_FALSE(IsMenu(oldbar));
  for (const char *name : {"w.file", "w.file.open", "w.file.wrap", "w.file.quit"})
    EXPECT_EQ(gui.controls[guicontrolindex(name)].handle, nullptr) << name;

  openplain("w");
  EXPECT_EQ(GetMenu(gethandle("w")), nullptr) << "the menus are gone";
  int slots = gui.controlsused;
  addmenu("w.file", "file", MF_POPUP);
  for (const char *item : {"w.file.open", "w.file.wrap", "w.file.quit"})
    addmenuitem(item, "again", on<'w'>, 0);
  EXPECT_EQ(gui.controlsused, slots) << "the same slots";
  HMENU file = dropdown("w.file");
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION), 0u) << "a new drop-down, unchecked";
  EXPECT_TRUE(boxes.seen().empty()) << "no \"yet exists\" after the close";
  choose("w.file.wrap");
  EXPECT_EQ(calls, "w");
}
