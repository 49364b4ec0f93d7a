// The plug-in's instance of the toolkit: fonts keep the stock width at weight
// 500, image controls take .bmp files only, and scroll bars can be read and
// set by name.
#include "coretest.h"
#include "filespictures.h"

struct plugincontrols : coretest {};

TEST_F(plugincontrols, fontskeepthestockwidthatweight500) {
  LOGFONTA stock = {}, made = {};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
  seteditfont(17, 20, 1);
  GetObjectA(gui.editfont, sizeof made, &made);
  EXPECT_EQ(made.lfHeight, -20);
  EXPECT_EQ(made.lfWidth, stock.lfWidth);
  EXPECT_EQ(made.lfWeight, 500);
  EXPECT_EQ(made.lfItalic, 1);
}

TEST_F(plugincontrols, imagecontrolstakebmpfilesonly) {
  std::string bmp = temppicture("plugin.bmp"), png = temppicture("plugin.png");
  writebmp(bmp, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  writepng(png, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  addbmpbutton("w.bmp", bmp, 0, 10, 10, 40, 40);
  addstaticbmp("w.png", png, 60, 10, 40, 40);
  EXPECT_NE(gui.controls[guicontrolindex("w.bmp")].bitmap, nullptr);
  EXPECT_EQ(gui.controls[guicontrolindex("w.png")].bitmap, nullptr);
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guiloadbmpdib", "erreur loadbmp :" + png}}));
  DeleteFileA(bmp.c_str());
  DeleteFileA(png.c_str());
}

TEST_F(plugincontrols, scrollbarsarereadandsetbyname) {
  addscrollbar("w.bar", "vert", 0, 10, 10, 20, 200, 0);
  openplain("w");
  setscrollbarrange("w.bar", 5, 50);
  setscrollbarpos("w.bar", 30);
  int position = 0, min = -1, max = -1;
  getscrollbarpos("w.bar", position);
  getscrollbarrange("w.bar", min, max);
  EXPECT_EQ(position, 30);
  EXPECT_EQ(min, 5);
  EXPECT_EQ(max, 50);
}
