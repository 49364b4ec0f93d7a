// The plug-in's instance of the toolkit: fonts keep the stock width at weight
// 500, image controls load through the .bmp-only loader, and scroll bars can
// be read and set by name.
#include "tests/gui_quarn/coretest.h"
#include "tests/gui_quarn/filespictures.h"

TEST_F(CoreTest, FontsKeepTheStockWidthAtWeight500) {
  LOGFONTA stock = {}, made = {};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
  seteditfont(17, 20, 1);
  GetObjectA(gui.editfont, sizeof made, &made);
  EXPECT_EQ((std::vector<long>{made.lfHeight, made.lfWidth, made.lfWeight, made.lfItalic}),
            (std::vector<long>{-20, stock.lfWidth, 500, 1}));
}

TEST_F(CoreTest, ImageControlsLoadThroughTheBmpLoader) {
  std::string bmp = temppicture("plugin.bmp"), junk = temppicture("plugin.png");
  writebmp(bmp, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  writefile(junk, "no picture");
  addbmpbutton("w.bmp", bmp, 0, 10, 10, 40, 40);
  addstaticbmp("w.junk", junk, 60, 10, 40, 40);
  EXPECT_NE(gui.controls[guicontrolindex("w.bmp")].bitmap, nullptr);
  EXPECT_EQ(gui.controls[guicontrolindex("w.junk")].bitmap, nullptr);
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guiloadbmpdib", "erreur loadbmp :" + junk}}));
  DeleteFileA(bmp.c_str());
  DeleteFileA(junk.c_str());
}

TEST_F(CoreTest, ScrollBarsAreReadAndSetByName) {
  addscrollbar("w.bar", "vert", 0, 10, 10, 20, 200, 0);
  openplain("w");
  setscrollbarrange("w.bar", 5, 50);
  setscrollbarpos("w.bar", 30);
  int position = 0, min = -1, max = -1;
  getscrollbarpos("w.bar", position);
  getscrollbarrange("w.bar", min, max);
  EXPECT_EQ((std::vector<int>{position, min, max}), (std::vector<int>{30, 5, 50}));
}
