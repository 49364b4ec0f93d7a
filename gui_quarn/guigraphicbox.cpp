// guigraphicbox: graphic boxes (a black-framed static holding an image
// buffer that the parent window paints 1:1 into the box's rectangle),
// moving controls with their images, and redrawing.
// Thread: user-interface thread only.
#include "gui_quarn/guicontrols.h"
#include "gui_quarn/guicore.h"
#include "gui_quarn/guiimage.h"

void addgraphicbox(const std::string &fullname, int x, int y, int width, int height,
                   const std::string &option, uint32_t style) {
  guideclare("static", 7, fullname, "graphicbox", 0, x, y, width, height, style);
  int slot = gui.currentcontrol;
  if (slot == 0 || option != "gfx") return;
  guicontrol &c = gui.controls[slot];
  destroyimage(c.image);
  c.image = createimage(width, height, 0xFF000000);
}

imagebuffer *getgraphicbox(const std::string &fullname) {
  int slot = guicontrolindex(fullname);
  return slot ? gui.controls[slot].image : 0;
}

// The image is painted by the parent window, so the parent's area under the
// box must be invalidated too, not only the box.
static void invalidateimage(const guicontrol &c) {
  if (!c.image || !c.handle) return;
  RECT r = {c.x, c.y, c.x + c.width, c.y + c.height};
  InvalidateRect(GetParent(c.handle), &r, FALSE);
}

void movecontrol(const std::string &name, int x, int y, int width, int height) {
  int slot = guifind(name);
  if (gui.currentkind != "control" || !gui.currenthandle) return;
  guicontrol &c = gui.controls[slot];
  if (width == 0) width = c.width;
  if (height == 0) height = c.height;
  bool resized = width != c.width || height != c.height;
  MoveWindow(c.handle, x, y, width, height, TRUE);
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  // A new size means a new, blank image: what was drawn is lost.
  if (resized && c.image) {
    destroyimage(c.image);
    c.image = createimage(width, height, 0xFF000000);
  }
  invalidateimage(c);
}

void redrawhandle(HWND handle) {
  if (!handle) return;
  RedrawWindow(handle, 0, 0, RDW_ERASE | RDW_INVALIDATE);
  if (int slot = guicontrolofhandle(handle)) invalidateimage(gui.controls[slot]);
}

void redrawcontrol(const std::string &name) { redrawhandle(gethandle(name)); }

void redrawwindow(const std::string &window) {
  int slot = guiwindowindex(window);
  if (slot && gui.windows[slot].handle) InvalidateRect(gui.windows[slot].handle, 0, TRUE);
}

// Every window with its controls, backgrounds erased: after a colour or font
// change the controls ask their parent for colours and fonts again.
void guiredrawall() {
  for (int i = 1; i <= gui.windowsused; i++)
    if (gui.windows[i].handle)
      RedrawWindow(gui.windows[i].handle, 0, 0, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
