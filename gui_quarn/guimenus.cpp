// guimenus: drop-downs and their items on a window's menu bar, their states
// and captions. Item commands arrive as WM_COMMAND with the item's slot as
// command number and go through guicommand like any control's.
// Thread: user-interface thread only.
#include "gui_quarn/guimenus.h"

#include <cstring>

#include "gui_quarn/guicore.h"

// The open window a menu operation works on, or 0 after its notice.
static int openwindowof(const std::string &window, const char *title) {
  guifind(window);
  int w = gui.currentkind == "window" ? guiwindowindex(window) : 0;
  if (!w) {
    guinotice("window not found : " + window, title);
    return 0;
  }
  if (!gui.windows[w].opened) {
    guinotice("window not opened : " + window, title);
    return 0;
  }
  return w;
}

// A slot that already holds a menu or an appended item is not built twice:
// the bar would show it twice.
static bool alreadybuilt(int slot, const std::string &fullname, const char *title) {
  if (slot == 0 || !gui.controls[slot].handle) return false;
  guinotice(fullname + " : yet exists !", title);
  return true;
}

void addmenu(const std::string &fullname, const std::string &caption, uint32_t flags) {
  gui.pendingclass = "menu";
  gui.pendingstyle = flags;
  guiaddcontrol(fullname, caption, 0, 0, 0, 0, 0, 0);
  int slot = gui.currentcontrol;
  if (alreadybuilt(slot, fullname, "addmenu")) return;
  int w = openwindowof(gui.controls[slot].window, "addmenu");
  if (!w) return;
  guiwindow &win = gui.windows[w];
  if (!win.menubar) win.menubar = CreateMenu();
  HMENU dropdown = CreatePopupMenu();
  gui.controls[slot].handle = (HWND)dropdown;
  AppendMenuA(win.menubar, flags, (UINT_PTR)dropdown, caption.c_str());
  SetMenu(win.handle, win.menubar);
}

void addmenuitem(const std::string &fullname, const std::string &caption, guicallback callback,
                 uint32_t flags) {
  gui.pendingclass = "menuitem";
  gui.pendingstyle = flags;
  guiaddcontrol(fullname, caption, callback, 0, 0, 0, 0, 0);
  int slot = gui.currentcontrol;
  if (alreadybuilt(slot, fullname, "addmenuitem")) return;
  const std::string window = gui.controls[slot].window;
  int w = openwindowof(window, "addmenuitem");
  if (!w) return;
  guiwindow &win = gui.windows[w];
  if (!win.menubar) {
    guinotice("window has no menu opened : " + window, "addmenuitem");
    return;
  }
  // "win.file.open" goes into "win.file".
  size_t second = fullname.find('.', fullname.find('.') + 1);
  std::string menu = fullname.substr(0, second);
  HMENU dropdown = (HMENU)gethandle(menu);
  if (!dropdown) {
    guinotice("menu not found : " + menu, "addmenuitem");
    return;
  }
  AppendMenuA(dropdown, flags, (UINT_PTR)slot, caption.c_str());
  gui.controls[slot].handle = (HWND)1;
  SetMenu(win.handle, win.menubar);  // redraws the bar
}

// The drop-down named menu on an open window that has a bar, or 0 after the
// notice saying what is missing.
static HMENU dropdownof(const std::string &menu, const char *title) {
  int slot = guifind(menu);
  if (!slot) {
    guinotice("menu not found : " + menu, title);
    return 0;
  }
  const std::string window = menu.substr(0, menu.find('.'));
  int w = openwindowof(window, title);
  if (!w) return 0;
  if (!gui.windows[w].menubar) {
    guinotice("window has no menu opened : " + window, title);
    return 0;
  }
  HMENU dropdown = (HMENU)gethandle(menu);
  if (!dropdown) guinotice("menu not found : " + menu, title);
  return dropdown;
}

void setmenuitemstate(const std::string &menu, int position, uint32_t state) {
  if (position == 0) return;
  HMENU dropdown = dropdownof(menu, "setmenuitemstate");
  if (!dropdown) return;
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  info.fState = state;
  SetMenuItemInfoA(dropdown, (UINT)(position - 1), TRUE, &info);
}

void checkmenuitem(const std::string &menu, int position) { setmenuitemstate(menu, position, 8); }
void uncheckmenuitem(const std::string &menu, int position) { setmenuitemstate(menu, position, 0); }
void enablemenuitem(const std::string &menu, int position) { setmenuitemstate(menu, position, 0); }
void disablemenuitem(const std::string &menu, int position) { setmenuitemstate(menu, position, 3); }

void setmenutext(const std::string &menu, int position, const std::string &text) {
  if (position == 0) return;
  HMENU dropdown = dropdownof(menu, "setmenutext");
  if (!dropdown) return;
  char caption[256] = {};
  size_t n = text.size() < 254 ? text.size() : 254;
  std::memcpy(caption, text.data(), n);
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_TYPE;
  info.fType = MFT_STRING;
  info.dwTypeData = caption;
  info.cch = (UINT)n;
  SetMenuItemInfoA(dropdown, (UINT)(position - 1), TRUE, &info);
}
