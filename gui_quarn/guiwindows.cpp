// guiwindows: opening and closing top-level windows. A window's controls are
// created inside openwindow (by the create message) and destroyed with it;
// names and slots stay, so a closed window reopens with all its controls.
// Thread: user-interface thread only.
#include "gui_quarn/guicore.h"
#include "gui_quarn/guievents.h"

// The class every toolkit window belongs to; registered at the first
// openwindow after start-up or after guiclose.
static void registerclass() {
  if (!gui.windowbrush)
    gui.windowbrush = gui.staticbackcolor ? CreateSolidBrush(gui.staticbackcolor)
                                          : GetSysColorBrush(COLOR_BTNFACE);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = guiwndproc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 30;
  wc.hInstance = gui.instance;
  wc.hIcon = LoadIconA(0, (LPCSTR)IDI_APPLICATION);
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorA(0, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = gui.windowbrush;
  wc.lpszMenuName = 0;
  wc.lpszClassName = "GUIQUARN";
  RegisterClassExA(&wc);
}

void openwindow(const std::string &name, const std::string &caption, int x, int y,
                int width, int height, uint32_t style, uint32_t exstyle) {
  int slot = guiwindowindex(name);
  if (!slot) {
    if (gui.windowsused >= ngui) {
      guinotice(std::to_string(ngui) + " max number of window reached !", "guinotice");
      return;
    }
    slot = ++gui.windowsused;
  }
  guiwindow &w = gui.windows[slot];
  if (w.opened == 1) {
    guinotice(name + " window yet opened !", "guinotice");
    return;
  }
  w.name = name;
  w.caption = caption;
  w.style = style;
  w.exstyle = exstyle;
  gui.currentwindow = slot;

  if (!gui.started) {
    gui.started = 1;
    registerclass();
  }

  guitakependingicon();
  // The create message, delivered before CreateWindowExA returns, makes the
  // controls of gui.currentwindow.
  HWND h = CreateWindowExA(exstyle, "GUIQUARN", caption.c_str(), style, x, y, width, height,
                           0, 0, gui.instance, 0);
  w.handle = h;
  w.opened = h ? 1 : 0;
  ShowWindow(h, SW_SHOWNORMAL);
  UpdateWindow(h);
  gui.currenthandle = h;

  for (int i = 1; i <= gui.controlsused; i++) {
    guicontrol &c = gui.controls[i];
    if (c.window != name) continue;
    UINT setimage = c.classname == "button" ? BM_SETIMAGE : STM_SETIMAGE;
    if (c.icon) SendMessageA(c.handle, setimage, IMAGE_ICON, (LPARAM)c.icon);
    if (c.bitmap) SendMessageA(c.handle, setimage, IMAGE_BITMAP, (LPARAM)c.bitmap);
  }
}

void closewindow(const std::string &name) {
  int slot = guiwindowindex(name);
  if (!slot) return;
  guiwindow &w = gui.windows[slot];
  if (!w.opened) guinotice(name + " window yet closed !", "guinotice");
  if (w.handle) {
    DestroyWindow(w.handle);
    // Destroying the window already takes its attached menu bar and the
    // drop-downs on it; only what is still a menu is destroyed here.
    if (w.menubar) {
      if (IsMenu(w.menubar)) DestroyMenu(w.menubar);
      w.menubar = 0;
    }
  }
  for (int i = 1; i <= gui.controlsused; i++) {
    guicontrol &c = gui.controls[i];
    if (c.window != name) continue;
    if (c.handle && c.classname == "menu" && IsMenu((HMENU)c.handle)) DestroyMenu((HMENU)c.handle);
    c.handle = 0;
  }
  w.handle = 0;
  w.menubar = 0;
  w.opened = 0;
}
