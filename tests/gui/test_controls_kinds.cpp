// Control kinds as created, moving a graphic box with its image, fonts and
// colours.
#include "coretest.h"

struct controlskinds : coretest {};

static int clicks = 0;
static void onclick() { clicks++; }

TEST_F(controlskinds, checkboxesandradiobuttonsonlycallbackwhenclicked) {
  addcheckbox("w.check", "check", onclick, 10, 10, 100, 20);
  addradiobutton("w.radio", "radio", onclick, 10, 40, 100, 20);
  openplain("w");
  clicks = 0;
  for (const char *name : {"w.check", "w.radio"}) {
    HWND h = gethandle(name);
    SendMessageA(h, BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), BST_UNCHECKED) << name << " is not automatic";
    checkbutton(name);
    EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), BST_CHECKED) << name;
  }
  EXPECT_EQ(clicks, 2);
}

TEST_F(controlskinds, onlythewordvertmakesaverticalscrollbar) {
  addscrollbar("w.v", "vert", 0, 10, 10, 20, 100, 0);
  addscrollbar("w.cap", "Vert", 0, 40, 10, 100, 20, 0);
  openplain("w");
  EXPECT_EQ(GetWindowLongA(gethandle("w.v"), GWL_STYLE) & SBS_VERT, SBS_VERT);
  EXPECT_EQ(GetWindowLongA(gethandle("w.cap"), GWL_STYLE) & SBS_VERT, 0);
}

TEST_F(controlskinds, movecontrolkeepstheimageunlessthesizechanges) {
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
  EXPECT_EQ(r.left, 70);
  EXPECT_EQ(r.bottom - r.top, 30);
  EXPECT_EQ(gui.controls[guicontrolindex("w.box")].x, 70) << "painting follows the table";

  movecontrol("w.box", 70, 80, 60, 0);
  image = getgraphicbox("w.box");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 60);
  EXPECT_EQ(image->height, 30);
  EXPECT_EQ(getimagepixel(image, 5, 5), 0xFF000000u) << "new and blank";
}

static LOGFONTA fontof(HFONT font) {
  LOGFONTA lf = {};
  GetObjectA(font, sizeof lf, &lf);
  return lf;
}

TEST_F(controlskinds, fontsaremadeonlyfromthestockfontnumbers) {
  for (int n : {15, 0, 9, 18}) {
    seteditfont(n, 12, 0);
    EXPECT_EQ(gui.editfont, (HFONT)GetStockObject(DEFAULT_GUI_FONT)) << n;
  }
  setstaticfont(17, 20, 0x101);
  LOGFONTA lf = fontof(gui.staticfont);
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(lf.lfWidth, 8);
  EXPECT_EQ(lf.lfWeight, 600);
  EXPECT_EQ(lf.lfItalic, 1) << "the low byte of italic";
  setlistboxfont(12, 11, 0);
  EXPECT_EQ(fontof(gui.listfont).lfWidth, 4) << "11 x 0.4 = 4.4, rounded down";
  LOGFONTA stock = fontof((HFONT)GetStockObject(ANSI_FIXED_FONT));
  setbuttonfont(11, 0, 0);
  EXPECT_EQ(fontof(gui.buttonfont).lfHeight, stock.lfHeight) << "size 0 keeps the stock size";
}

TEST_F(controlskinds, anewtextbackgroundreachesanopeneditatonce) {
  setbackcolor(0x1FF, 0x102, 3);
  EXPECT_EQ(gui.staticbackcolor, RGB(255, 2, 3)) << "the low byte of each component";
  addedit("w.edit", "", 0, 10, 10, 200, 60, 0);
  openplain("w");
  pump();
  seteditbackcolor(255, 0, 0);
  pump();
  HWND e = gethandle("w.edit");
  HDC dc = GetDC(e);
  EXPECT_EQ(GetPixel(dc, 150, 40), RGB(255, 0, 0));
  ReleaseDC(e, dc);
}
