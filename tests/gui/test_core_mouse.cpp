// Mouse traps on graphic boxes, and a graphic box's image painted in place.
#include "coretest.h"

static std::vector<std::string> hits;
static int hitx = -1, hity = -1;
static void hit(const char *who) {
  hits.push_back(who);
  hitx = guievent.mousex;
  hity = guievent.mousey;
}
static void ona() { hit("a"); }
static void onb() { hit("b"); }
static void onbright() { hit("b right"); }
static void onother() { hit("other"); }

struct coremouse : coretest {
  HWND window = 0;
  void SetUp() override {
    coretest::SetUp();
    declare("w.a", "static", 7, 0, 10, 10, 100, 100, "graphicbox");
    declare("o.box", "static", 7, 0, 10, 10, 100, 100, "graphicbox");
    declare("w.b", "static", 7, 0, 50, 50, 100, 100, "graphicbox");
    trapleftmouse("w.a", ona);
    trapleftmouse("w.b", onb);
    traprightmouse("w.b", onbright);
    trapleftmouse("o.box", onother);
    openplain("w");
    window = gethandle("w");
    hits.clear();
  }
  void press(UINT msg, int x, int y) { SendMessageA(window, msg, 0, MAKELPARAM(x, y)); }
};

TEST_F(coremouse, overlappingboxesgivetheclicktothelowerindexonly) {
  press(WM_LBUTTONDOWN, 60, 70);
  ASSERT_EQ(hits, std::vector<std::string>{"a"});
  EXPECT_EQ(hitx, 50);
  EXPECT_EQ(hity, 60);

  press(WM_LBUTTONDOWN, 130, 140);
  EXPECT_EQ(hits.back(), "b");
  EXPECT_EQ(hitx, 80);
  EXPECT_EQ(hity, 90);
  EXPECT_EQ(hits.size(), 2u);
}

TEST_F(coremouse, edgesareinsideandoutsideisnowhere) {
  press(WM_LBUTTONDOWN, 110, 110);  // a's far corner, inside b too
  press(WM_LBUTTONDOWN, 10, 10);
  press(WM_LBUTTONDOWN, 150, 150);
  press(WM_LBUTTONDOWN, 151, 150);
  press(WM_LBUTTONDOWN, 9, 50);
  EXPECT_EQ(hits, (std::vector<std::string>{"a", "a", "b"}));
}

TEST_F(coremouse, onlyacontrolwiththetrapforthismessageistried) {
  press(WM_RBUTTONDOWN, 60, 70);   // a has no right-button trap
  press(WM_LBUTTONUP, 60, 70);     // nobody traps button-up
  press(WM_MOUSEMOVE, 60, 70);
  EXPECT_EQ(hits, std::vector<std::string>{"b right"});
  EXPECT_EQ(hitx, 10);
  EXPECT_EQ(hity, 20);
}

TEST_F(coremouse, aclickelsewherekeepsotherfieldsoftheevent) {
  guievent.index = 5;
  guievent.code = 1;
  press(WM_LBUTTONDOWN, 60, 70);
  EXPECT_EQ(guievent.index, 5);
  EXPECT_EQ(guievent.code, 1);
}

// Reads what is on screen inside the window's client area.
static COLORREF clientpixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

TEST_F(coretest, agraphicboxsimageispaintedtoprowfirstintoitsrectangle) {
  declare("p.box", "static", 7, 0, 20, 30, 40, 20, "graphicbox");
  imagebuffer *image = createimage(40, 20, 0xFF0000FFu);  // blue
  for (int y = 0; y < 3; y++)  // red top rows
    for (int x = 0; x < 40; x++) setimagepixel(image, x, y, 0xFFFF0000u);
  gui.controls[1].image = image;
  openplain("p");
  HWND h = gethandle("p");
  RedrawWindow(h, 0, 0, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pump();
  // The box's black frame covers its outermost pixels; look inside it.
  EXPECT_EQ(clientpixel(h, 25, 31), RGB(255, 0, 0));
  EXPECT_EQ(clientpixel(h, 25, 34), RGB(0, 0, 255));
  EXPECT_EQ(clientpixel(h, 57, 47), RGB(0, 0, 255));
  EXPECT_NE(clientpixel(h, 61, 40), RGB(0, 0, 255)) << "nothing beyond the rectangle";
}
