// guinames: registering controls and finding windows and controls by name or
// by native handle. Equality is exact byte equality; the first match wins.
// Thread: user-interface thread only.
#include "gui_quarn/guicore.h"

int guiwindowindex(const std::string &name) {
  for (int i = 1; i <= gui.windowsused; i++)
    if (gui.windows[i].name == name) return i;
  return 0;
}

int guicontrolindex(const std::string &fullname) {
  for (int i = 1; i <= gui.controlsused; i++)
    if (gui.controls[i].fullname == fullname) return i;
  return 0;
}

int guiwindowofhandle(HWND handle) {
  for (int i = 1; i <= gui.windowsused; i++)
    if (gui.windows[i].handle == handle) return i;
  return 0;
}

int guicontrolofhandle(HWND handle) {
  for (int i = 1; i <= gui.controlsused; i++)
    if (gui.controls[i].handle == handle) return i;
  return 0;
}

void guiaddcontrol(const std::string &fullname, const std::string &text, guicallback callback,
                   int x, int y, int width, int height, uint32_t style) {
  int slot = guicontrolindex(fullname);
  if (!slot) {
    if (gui.controlsused < ngui) {
      slot = ++gui.controlsused;
    } else {
      guinotice(std::to_string(ngui) + " max ngui reached !", "guinotice");
      slot = 0;
    }
  }
  if (slot != 0) {
    guicontrol &c = gui.controls[slot];
    c.classname = gui.pendingclass;
    c.style = style ? style : gui.pendingstyle;
    c.fullname = fullname;
    size_t dot = fullname.find('.');
    c.window = dot == std::string::npos ? std::string() : fullname.substr(0, dot);
    c.text = text;
    c.callback = callback;
    c.x = x;
    c.y = y;
    c.width = width;
    c.height = height;
  }
  // Slot 0 never has a window name, so a full table also ends up here.
  if (gui.controls[slot].window.empty()) {
    guinotice("invalid window control name : " + fullname + " !", "guiaddcontrol");
    slot = 0;
  }
  gui.currentcontrol = slot;
}

int guifind(const std::string &name) {
  if (int w = guiwindowindex(name)) {
    gui.currenthandle = gui.windows[w].handle;
    gui.currentkind = "window";
    return w;
  }
  if (int c = guicontrolindex(name)) {
    gui.currenthandle = gui.controls[c].handle;
    gui.currentkind = "control";
    return c;
  }
  gui.currenthandle = 0;
  gui.currentkind = "";
  return 0;
}

HWND gethandle(const std::string &name) {
  HWND h = 0;
  if (int w = guiwindowindex(name))
    h = gui.windows[w].handle;
  else if (int c = guicontrolindex(name))
    h = gui.controls[c].handle;
  gui.currenthandle = h;
  return h;
}

// A zero handle names nothing: closed windows and controls not yet created
// all hold 0, and the first of them is not what was asked for.
std::string getguiname(HWND handle) {
  if (!handle) return "";
  if (int w = guiwindowofhandle(handle)) return gui.windows[w].name;
  if (int c = guicontrolofhandle(handle)) return gui.controls[c].fullname;
  return "";
}

int iswindowopen(const std::string &name) {
  int w = guiwindowindex(name);
  return w ? gui.windows[w].opened : 0;
}
