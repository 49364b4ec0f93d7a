// guiscrollbars: scroll-bar controls. The toolkit moves a bar itself on each
// scroll message before the callback runs (guievents); the plug-in's instance
// also lets the program read and set position and range.
// Thread: user-interface thread only.
#include "gui_quarn/guicontrols.h"
#include "gui_quarn/guicore.h"

void addscrollbar(const std::string &fullname, const std::string &orientation,
                  guicallback callback, int x, int y, int width, int height, uint32_t style) {
  // Only "vert" exactly is vertical; "Vert" or anything else is horizontal.
  guideclare("scrollbar", orientation == "vert" ? 1 : 0, fullname, "scroll", callback, x, y,
             width, height, style);
}

#if QUARN_GUI_PLUGIN
void getscrollbarpos(const std::string &name, int &position) {
  if (HWND h = gethandle(name)) position = GetScrollPos(h, SB_CTL);
}

void setscrollbarpos(const std::string &name, int position) {
  if (HWND h = gethandle(name)) SetScrollPos(h, SB_CTL, position, TRUE);
}

void getscrollbarrange(const std::string &name, int &min, int &max) {
  HWND h = gethandle(name);
  if (!h) return;
  int lo = 0, hi = 0;
  if (GetScrollRange(h, SB_CTL, &lo, &hi)) {
    min = lo;
    max = hi;
  }
}

void setscrollbarrange(const std::string &name, int min, int max) {
  if (HWND h = gethandle(name)) SetScrollRange(h, SB_CTL, min, max, TRUE);
}
#endif
