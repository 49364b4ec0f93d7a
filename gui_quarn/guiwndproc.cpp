// guiwndproc: the one window procedure of the class "GUIQUARN". It creates a
// window's controls, paints graphic boxes, colours child controls, and hands
// commands, scrolling, mouse and keys to the dispatchers and traps.
// Thread: user-interface thread (inside guiscan, guiwait or a modal loop).
#include "gui_quarn/guicore.h"
#include "gui_quarn/guidispatch.h"
#include "gui_quarn/guievents.h"
#include "gui_quarn/guiimage.h"

// Creates every control declared for the window being opened. Menus are built
// by their own operations on an open window, not here.
static void createcontrols(HWND hwnd) {
  if (gui.programicon) {
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)gui.programicon);
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, (LPARAM)gui.programicon);
  }
  if (gui.currentwindow == 0) return;
  const std::string name = gui.windows[gui.currentwindow].name;
  for (int i = 1; i <= gui.controlsused; i++) {
    guicontrol &c = gui.controls[i];
    if (c.window != name || c.classname == "menuitem" || c.classname == "menu") continue;
    c.handle = CreateWindowExA(0, c.classname.c_str(), c.text.c_str(), c.style | 0x54000000u,
                               c.x, c.y, c.width, c.height, hwnd, (HMENU)(intptr_t)i,
                               gui.instance, 0);
  }
}

// Each graphic box's image goes through the drawing buffer's top-left corner
// and from there 1:1 into the box's stored rectangle.
static void paintimages(HWND hwnd, int w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  // guiclose frees the drawing buffer; a window reopened after it still paints.
  if (!gui.drawbuffer) guimakedrawbuffer();
  const std::string &name = gui.windows[w].name;
  for (int i = 1; gui.drawbuffer && i <= gui.controlsused; i++) {
    const guicontrol &c = gui.controls[i];
    if (!c.image || c.window != name) continue;
    copyimage(gui.drawbuffer, c.image, 0, 0);
    int cw = c.width < 2048 ? c.width : 2048;
    int ch = c.height < 2048 ? c.height : 2048;
    StretchDIBits(dc, c.x, c.y, cw, ch, 0, 0, cw, ch, gui.drawbuffer->pixels.data(),
                  (const BITMAPINFO *)&gui.drawheader, DIB_RGB_COLORS, SRCCOPY);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK guiwndproc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  int w = guiwindowofhandle(hwnd);
  HDC dc = (HDC)wparam;
  switch (msg) {
  case WM_CREATE:
    createcontrols(hwnd);
    break;
  case WM_SIZE:
    if (w && gui.windows[w].resize) {
      guievent.hwnd = hwnd;
      guievent.wparam = wparam;
      guievent.lparam = lparam;
      gui.windows[w].resize();
    }
    return 0;
  case WM_DESTROY:
    return 0;
  case WM_PAINT:
    if (!w) break;
    paintimages(hwnd, w);
    return 0;
  case WM_CLOSE:
    // Only the program closes its windows; the close box just calls the trap.
    if (w && gui.windows[w].close) {
      guievent.hwnd = hwnd;
      guievent.wparam = wparam;
      guievent.lparam = lparam;
      gui.windows[w].close();
    }
    return 0;
  case WM_KEYDOWN:
  case WM_KEYUP:
    if (w && gui.windows[w].keyboard) {
      guievent.hwnd = hwnd;
      guievent.lparam = lparam;
      guievent.wparam = wparam;
      guievent.key = (int)wparam;
      guievent.msg = msg;
      gui.windows[w].keyboard();
    }
    break;
  case WM_CHAR:
    guievent.typed = std::string(1, (char)wparam);
    break;
  case WM_COMMAND:
    guicommand(hwnd, wparam, lparam);
    break;
  case WM_HSCROLL:
  case WM_VSCROLL:
    guiscroll(hwnd, msg, wparam, lparam);
    break;
  case WM_CTLCOLOREDIT:
    if (gui.editfont) SelectObject(dc, gui.editfont);
    SetTextColor(dc, gui.edittextcolor);
    SetBkColor(dc, gui.editbackcolor);
    return (LRESULT)(gui.editbrush ? gui.editbrush : GetStockObject(WHITE_BRUSH));
  case WM_CTLCOLORLISTBOX:
    if (gui.listfont) SelectObject(dc, gui.listfont);
    SetTextColor(dc, gui.listtextcolor);
    SetBkMode(dc, TRANSPARENT);
    return (LRESULT)(gui.listbrush ? gui.listbrush : GetStockObject(WHITE_BRUSH));
  case WM_CTLCOLORBTN:
    if (gui.buttonfont) SelectObject(dc, gui.buttonfont);
    break;
  case WM_CTLCOLORSTATIC:
    if (gui.staticfont) SelectObject(dc, gui.staticfont);
    SetTextColor(dc, gui.statictextcolor);
    if (gui.staticbackcolor) SetBkColor(dc, gui.staticbackcolor);
    return (LRESULT)GetStockObject(NULL_BRUSH);
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  case WM_MOUSEMOVE:
    if (w) guimouse(w, msg, lparam);
    break;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
