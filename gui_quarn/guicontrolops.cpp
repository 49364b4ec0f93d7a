// guicontrolops: enabling, showing, focus and geometry of a window or control,
// by name and by handle.
// Thread: user-interface thread only.
#include "gui_quarn/guicontrols.h"
#include "gui_quarn/guicore.h"

void guienablehandle(HWND handle) {
  if (handle) EnableWindow(handle, TRUE);
}
void guidisablehandle(HWND handle) {
  if (handle) EnableWindow(handle, FALSE);
}
void guishowhandle(HWND handle) {
  if (handle) ShowWindow(handle, SW_SHOW);
}
void guihidehandle(HWND handle) {
  if (handle) ShowWindow(handle, SW_HIDE);
}
void guisetfocushandle(HWND handle) {
  if (!handle) return;
  gui.currenthandle = handle;
  SetFocus(handle);
}

void guienable(const std::string &name) { guienablehandle(gethandle(name)); }
void guidisable(const std::string &name) { guidisablehandle(gethandle(name)); }
void guishow(const std::string &name) { guishowhandle(gethandle(name)); }
void guihide(const std::string &name) { guihidehandle(gethandle(name)); }
void guisetfocus(const std::string &name) { guisetfocushandle(gethandle(name)); }

void guishownoactivate(const std::string &name) {
  if (HWND h = gethandle(name)) ShowWindow(h, SW_SHOWNOACTIVATE);
}

// Shown first (without activating), then its rectangle on the screen.
void getguirect(const std::string &name, int &x, int &y, int &width, int &height) {
  HWND h = gethandle(name);
  if (!h) return;
  ShowWindow(h, SW_SHOWNOACTIVATE);
  RECT r;
  if (!GetWindowRect(h, &r)) return;
  x = r.left;
  y = r.top;
  width = r.right - r.left;
  height = r.bottom - r.top;
}

// The native window only: the table keeps the old rectangle, so graphic-box
// painting and mouse traps go on using it (movecontrol updates both).
void guimove(const std::string &name, int x, int y, int width, int height) {
  if (HWND h = gethandle(name)) MoveWindow(h, x, y, width, height, TRUE);
}
