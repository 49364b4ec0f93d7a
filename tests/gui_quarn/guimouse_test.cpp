// Mouse traps on graphic boxes: one trap per message, the first control of
// this window that holds the point and traps that message.
#include "tests/gui_quarn/coretest.h"

TEST_F(CoreTest, MouseTrapsGoToTheFirstBoxHoldingThePoint) {
  declare("o.box", "static", 7, 0, 10, 10, 100, 100, "graphicbox");  // another window's
  declare("w.a", "static", 7, 0, 10, 10, 100, 100, "graphicbox");
  declare("w.b", "static", 7, 0, 50, 50, 100, 100, "graphicbox");
  trapleftmouse("o.box", on<'o'>);
  trapleftmouse("w.a", on<'a'>);
  trapleftmouse("w.b", on<'b'>);
  traprightmouse("w.b", on<'r'>);
  openplain("w");
  struct { UINT msg; int x, y; const char *seen; } cases[] = {
      {WM_LBUTTONDOWN, 60, 70, "a 50,60"},    // inside both: the lower index only
      {WM_LBUTTONDOWN, 130, 140, "b 80,90"},
      {WM_LBUTTONDOWN, 110, 110, "a 100,100"},  // edges are inside
      {WM_LBUTTONDOWN, 10, 10, "a 0,0"},
      {WM_LBUTTONDOWN, 150, 150, "b 100,100"},
      {WM_LBUTTONDOWN, 151, 150, ""},  {WM_LBUTTONDOWN, 9, 50, ""},
      {WM_RBUTTONDOWN, 60, 70, "r 10,20"},  // a has no right-button trap
      {WM_LBUTTONUP, 60, 70, ""},      {WM_MOUSEMOVE, 60, 70, ""},  // nobody traps these
  };
  for (auto &c : cases) {
    heard.clear();
    SendMessageA(gethandle("w"), c.msg, 0, MAKELPARAM(c.x, c.y));
    if (!heard.empty()) heard += " " + std::to_string(heardevent.mousex) + "," + std::to_string(heardevent.mousey);
    EXPECT_EQ(heard, c.seen) << c.msg << " at " << c.x << "," << c.y;
  }
}
