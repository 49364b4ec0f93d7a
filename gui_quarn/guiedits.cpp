// guiedits: edit boxes, and the text of any window or control. An edit box's
// callback runs only through the Enter shortcut of guiscan, never on commands.
// Thread: user-interface thread only.
#include "gui_quarn/guicontrols.h"
#include "gui_quarn/guicore.h"

void addedit(const std::string &fullname, const std::string &text, guicallback callback, int x,
             int y, int width, int height, uint32_t style) {
  guideclare("edit", 0x1004, fullname, text, callback, x, y, width, height, style);
}

void settexthandle(HWND handle, const std::string &text) {
  if (handle) SetWindowTextA(handle, text.c_str());
}

// Read through a buffer of 4000 characters: longer texts come back cut to 3999.
std::string gettexthandle(HWND handle) {
  if (!handle) return "";
  char text[4000];
  int n = GetWindowTextA(handle, text, sizeof text);
  if (n <= 0) return "";
  return std::string(text, n < 3999 ? n : 3999);
}

void settext(const std::string &name, const std::string &text) {
  settexthandle(gethandle(name), text);
}

std::string gettext(const std::string &name) { return gettexthandle(gethandle(name)); }
