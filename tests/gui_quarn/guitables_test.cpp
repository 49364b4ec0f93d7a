// The window and control tables: slots, overwriting, limits, names.
#include "tests/gui_quarn/coretest.h"

static void one() {}
static void two() {}

TEST_F(CoreTest, AnExistingFullNameReusesItsSlotAndOverwritesEverything) {
  declare("w.a", "button", 0x800000, one, 1, 2, 3, 4, "first");
  declare("w.b", "edit", 0x1004);
  gui.pendingclass = "static";
  gui.pendingstyle = 7;
  guiaddcontrol("w.a", "second", two, 5, 6, 7, 8, 0x203);
  EXPECT_EQ(gui.controlsused, 2);
  EXPECT_EQ(guicurrentcontrol(), "w.a");
  const guicontrol &c = gui.controls[1];
  EXPECT_EQ(c.classname + "/" + c.text, "static/second");
  EXPECT_EQ(c.style, 0x203u) << "a non-zero style argument replaces the pending style";
  EXPECT_EQ(c.callback, &two);
  EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}), (std::vector<int>{5, 6, 7, 8}));
  EXPECT_EQ(gui.controls[2].style, 0x1004u) << "style 0 keeps the pending style";
}

TEST_F(CoreTest, ANameWithoutAWindowPartIsRefused) {
  declare("w.ok", "button", 0);
  declare("gain", "button", 0);
  EXPECT_EQ(gui.currentcontrol, 0);
  declare(".gain", "button", 0);
  EXPECT_EQ(gui.currentcontrol, 0);
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"guiaddcontrol", "invalid window control name : gain !"},
                                  {"guiaddcontrol", "invalid window control name : .gain !"}}));
}

TEST_F(CoreTest, FullTablesRefuseANewNameButKeepReusingAKnownOne) {
  for (int i = 1; i <= ngui; i++) {
    declare("w.c" + std::to_string(i), "button", 0);
    gui.windows[i].name = std::string("w").append(std::to_string(i));
  }
  gui.windowsused = ngui;
  EXPECT_TRUE(boxes.seen().empty());

  declare("w.onetoomany", "button", 0, one);
  EXPECT_EQ(gui.currentcontrol, 0);
  EXPECT_EQ(gui.controlsused, ngui);
  EXPECT_EQ(guicontrolindex("w.onetoomany"), 0);
  declare("w.c900", "edit", 0);
  EXPECT_EQ(gui.currentcontrol, ngui);
  EXPECT_EQ(gui.controls[ngui].classname, "edit");

  openplain("extra");
  EXPECT_EQ(gui.windowsused, ngui);
  EXPECT_EQ(FindWindowA("GUIQUARN", "extra"), (HWND)0);
  openplain("w900");
  EXPECT_EQ(iswindowopen("w900"), 1);
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"guinotice", "900 max ngui reached !"},
                                  {"guiaddcontrol", "invalid window control name : w.onetoomany !"},
                                  {"guinotice", "900 max number of window reached !"}}));
}

TEST_F(CoreTest, LookupFindsWindowsFirstThenControlsExactly) {
  declare("box.x", "button", 0);
  openplain("box.x");  // a window whose name reads like a control of "box"
  openplain("box");    // creates the control box.x
  HWND controlx = gui.controls[1].handle;
  ASSERT_NE(controlx, (HWND)0);
  EXPECT_EQ(gethandle("box.x"), gui.windows[guiwindowindex("box.x")].handle);
  EXPECT_EQ(getguiname(controlx), "box.x");
  EXPECT_EQ(gethandle("Box.x"), (HWND)0) << "names are case-sensitive";
  EXPECT_EQ(guifind("nothere"), 0);
  EXPECT_EQ(getguiname((HWND)0x12345), "");
}
