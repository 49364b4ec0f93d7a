// guidispatch: which callback a command, scroll or mouse message reaches, and
// what the event record says about it.
// Thread: user-interface thread (called from guiwndproc).
#include "gui_quarn/guidispatch.h"

#include <cmath>

#include "gui_quarn/guicore.h"
#include "gui_quarn/guievents.h"

// Clicks (code 0) and selection changes (code 1) reach a control's callback;
// the command number is the control's index. A number above the controls in
// use may be a usersub. Menu items send no handle of their own, so they pass
// on their kind alone.
void guicommand(HWND hwnd, WPARAM wparam, LPARAM lparam) {
  int code = (int)HIWORD(wparam);
  int id = (int)LOWORD(wparam);
  if (code != 0 && code != 1) return;
  if (id >= 1 && id <= gui.controlsused) {
    guicontrol &c = gui.controls[id];
    if ((HWND)lparam != c.handle && c.classname != "menuitem") return;
    gui.currentcontrol = id;
    gui.currenthandle = c.handle;
    guievent.index = id;
    guievent.handle = c.handle;
    guievent.code = code;
    guievent.hwnd = hwnd;
    guievent.lparam = lparam;
    guievent.wparam = wparam;
    if (c.callback) c.callback();
    return;
  }
  if (id >= usersubmin && id <= nusersub && gui.usersub[id]) gui.usersub[id]();
}

int guiscrollpage(int min, int max) {
  // A tenth of the range to the nearest whole step, halves to even (the
  // default rounding mode), never less than one.
  long step = std::lrint((double)((long long)max - min) / 10.0);
  return step < 1 ? 1 : (int)step;
}

void guimovescrollbar(HWND bar, WPARAM wparam) {
  int min = 0, max = 10;
  GetScrollRange(bar, SB_CTL, &min, &max);
  int old = GetScrollPos(bar, SB_CTL);
  long long pos = old;
  switch (LOWORD(wparam)) {
  case SB_BOTTOM:   pos += 1; break;
  case SB_TOP:      pos -= 1; break;
  case SB_LINEDOWN: pos += 1; break;
  case SB_LINEUP:   pos -= 1; break;
  case SB_PAGEDOWN: pos += guiscrollpage(min, max); break;
  case SB_PAGEUP:   pos -= guiscrollpage(min, max); break;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK: pos = HIWORD(wparam); break;
  }
  if (pos < min) pos = min;
  if (pos > max) pos = max;
  if (pos != old) SetScrollPos(bar, SB_CTL, (int)pos, TRUE);
}

// The scroll bar has already moved when its callback runs, so the callback
// reads the new position. A window's own scroll bars send no handle.
void guiscroll(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (!lparam) return;
  int i = guicontrolofhandle((HWND)lparam);
  if (!i || !gui.controls[i].callback) return;
  guievent.hwnd = hwnd;
  guievent.lparam = lparam;
  guievent.wparam = wparam;
  guievent.msg = msg;
  guimovescrollbar((HWND)lparam, wparam);
  gui.controls[i].callback();
}

static guicallback mousetrap(const guicontrol &c, UINT msg) {
  switch (msg) {
  case WM_LBUTTONDOWN: return c.leftmouse;
  case WM_RBUTTONDOWN: return c.rightmouse;
  case WM_LBUTTONUP:   return c.leftmouseup;
  case WM_RBUTTONUP:   return c.rightmouseup;
  case WM_MOUSEMOVE:   return c.movemouse;
  }
  return 0;
}

// Statics (graphic boxes among them) let the mouse through to their window;
// the first control under the pointer with a trap for this message gets it.
void guimouse(int window, UINT msg, LPARAM lparam) {
  uint32_t x = LOWORD(lparam);
  uint32_t y = HIWORD(lparam);
  const std::string &name = gui.windows[window].name;
  for (int i = 1; i <= gui.controlsused; i++) {
    const guicontrol &c = gui.controls[i];
    guicallback trap = mousetrap(c, msg);
    if (!trap || c.window != name) continue;
    if ((uint32_t)c.x <= x && x <= (uint32_t)(c.x + c.width) && (uint32_t)c.y <= y &&
        y <= (uint32_t)(c.y + c.height)) {
      guievent.mousex = (int)(x - (uint32_t)c.x);
      guievent.mousey = (int)(y - (uint32_t)c.y);
      trap();
      return;
    }
  }
}
