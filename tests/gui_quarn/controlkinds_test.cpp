// Moving a graphic box with its image, fonts, and colours reaching open controls.
#include "tests/gui_quarn/coretest.h"

TEST_F(CoreTest, MoveControlKeepsTheImageUnlessTheSizeChanges) {
  addgraphicbox("w.box", 10, 20, 40, 30, "gfx", 0);
  openplain("w");
  imagebuffer *image = getgraphicbox("w.box");
  setimagepixel(image, 5, 5, 0xFF123456u);
  movecontrol("w.box", 70, 80, 0, 0);
  EXPECT_EQ(getgraphicbox("w.box"), image);
  EXPECT_EQ(getimagepixel(image, 5, 5), 0xFF123456u);
  RECT r;
  GetWindowRect(gethandle("w.box"), &r);
  MapWindowPoints(0, gethandle("w"), (POINT *)&r, 2);
  EXPECT_EQ((std::vector<long>{r.left, r.top, r.bottom - r.top}), (std::vector<long>{70, 80, 30}));

  movecontrol("w.box", 70, 80, 60, 0);
  image = getgraphicbox("w.box");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ((std::vector<int>{image->width, image->height}), (std::vector<int>{60, 30}));
  EXPECT_EQ(getimagepixel(image, 5, 5), 0xFF000000u) << "new and blank";
}

TEST_F(CoreTest, FontsAreMadeOnlyFromTheStockFontNumbers) {
  seteditfont(15, 12, 0);
  EXPECT_EQ(gui.editfont, (HFONT)GetStockObject(DEFAULT_GUI_FONT));
  setstaticfont(17, 11, 0x101);
  LOGFONTA lf = {};
  GetObjectA(gui.staticfont, sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWidth, 4) << "11 x 0.4 = 4.4, rounded down";
  EXPECT_EQ(lf.lfWeight, 600);
  EXPECT_EQ(lf.lfItalic, 1) << "the low byte of italic";
}

TEST_F(CoreTest, ANewTextBackgroundReachesAnOpenEditAtOnce) {
  addedit("w.edit", "", 0, 10, 10, 200, 60, 0);
  openplain("w");
  pump();
  seteditbackcolor(0x1FF, 0x100, 0);  // only the low byte of each component counts
  pump();
  HWND e = gethandle("w.edit");
  HDC dc = GetDC(e);
  EXPECT_EQ(GetPixel(dc, 150, 40), RGB(255, 0, 0));
  ReleaseDC(e, dc);
}
