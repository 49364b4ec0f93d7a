// Mouse traps on graphic boxes: one trap per message, the lower index first.
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
  void SetUp() override {
    coretest::SetUp();
    declare("w.a", "static", 7, 0, 10, 10, 100, 100, "graphicbox");
    declare("o.box", "static", 7, 0, 10, 10, 100, 100, "graphicbox");  // another window's
    declare("w.b", "static", 7, 0, 50, 50, 100, 100, "graphicbox");
    trapleftmouse("w.a", ona);
    trapleftmouse("w.b", onb);
    traprightmouse("w.b", onbright);
    trapleftmouse("o.box", onother);
    openplain("w");
    hits.clear();
  }
  void press(UINT msg, int x, int y) { SendMessageA(gethandle("w"), msg, 0, MAKELPARAM(x, y)); }
};

TEST_F(coremouse, overlappingboxesgivetheclicktothelowerindexonly) {
  press(WM_LBUTTONDOWN, 60, 70);
  ASSERT_EQ(hits, std::vector<std::string>{"a"});
  EXPECT_EQ(hitx, 50);
  EXPECT_EQ(hity, 60);

  press(WM_LBUTTONDOWN, 130, 140);
  EXPECT_EQ(hits, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(hitx, 80);
  EXPECT_EQ(hity, 90);
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
  press(WM_RBUTTONDOWN, 60, 70);  // a has no right-button trap
  press(WM_LBUTTONUP, 60, 70);    // nobody traps button-up
  press(WM_MOUSEMOVE, 60, 70);
  EXPECT_EQ(hits, std::vector<std::string>{"b right"});
  EXPECT_EQ(hitx, 10);
  EXPECT_EQ(hity, 20);
}
