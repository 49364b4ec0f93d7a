// guibuttons: buttons, check boxes, radio buttons, statics, and their icon and
// bitmap kinds; guideclare, through which every kind registers. Check boxes
// and radio buttons are not automatic: a click only calls the callback, and
// the program sets the mark with checkbutton.
// Thread: user-interface thread only.
#include "gui_quarn/guicontrols.h"
#include "gui_quarn/guicore.h"
#include "gui_quarn/guiimage.h"

void guideclare(const char *classname, uint32_t basestyle, const std::string &fullname,
                const std::string &text, guicallback callback, int x, int y, int width,
                int height, uint32_t style) {
  gui.pendingclass = classname;
  gui.pendingstyle = basestyle;
  guiaddcontrol(fullname, text, callback, x, y, width, height, style);
}

static bool fileexists(const std::string &file) {
  DWORD a = GetFileAttributesA(file.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The first icon of the file for the control just added; openwindow attaches it.
static void takeicon(const std::string &file) {
  int slot = gui.currentcontrol;
  if (slot == 0 || !fileexists(file)) return;
  guicontrol &c = gui.controls[slot];
  if (c.icon) DestroyIcon(c.icon);
  HICON icon = ExtractIconA(gui.instance, file.c_str(), 0);
  c.icon = (uintptr_t)icon < 2 ? 0 : icon;  // 1: the file is not a program or icon file
}

// The picture of the file for the control just added; openwindow attaches it.
static void takebitmap(const std::string &file) {
  int slot = gui.currentcontrol;
  if (slot == 0 || !fileexists(file)) return;
  guicontrol &c = gui.controls[slot];
  if (c.bitmap) DeleteObject(c.bitmap);
#if QUARN_GUI_PLUGIN
  c.bitmap = guiloadbmpdib(file);
#else
  c.bitmap = guiloadimage(file);
#endif
}

void addbutton(const std::string &fullname, const std::string &text, guicallback callback,
               int x, int y, int width, int height, uint32_t style) {
  guideclare("button", 0x800000, fullname, text, callback, x, y, width, height, style);
}

void addcheckbox(const std::string &fullname, const std::string &text, guicallback callback,
                 int x, int y, int width, int height) {
  guideclare("button", 2, fullname, text, callback, x, y, width, height, 0);
}

void addradiobutton(const std::string &fullname, const std::string &text, guicallback callback,
                    int x, int y, int width, int height) {
  guideclare("button", 4, fullname, text, callback, x, y, width, height, 0);
}

void addiconbutton(const std::string &fullname, const std::string &iconfile,
                   guicallback callback, int x, int y, int width, int height) {
  guideclare("button", 0x40, fullname, "iconbutton", callback, x, y, width, height, 0);
  takeicon(iconfile);
}

void addbmpbutton(const std::string &fullname, const std::string &imagefile,
                  guicallback callback, int x, int y, int width, int height) {
  guideclare("button", 0x80, fullname, "bmpbutton", callback, x, y, width, height, 0);
  takebitmap(imagefile);
}

void addstatic(const std::string &fullname, const std::string &text, int x, int y, int width,
               int height, uint32_t style) {
  guideclare("static", 0, fullname, text, 0, x, y, width, height, style);
}

void addstaticicon(const std::string &fullname, const std::string &iconfile, int x, int y,
                   int width, int height) {
  guideclare("static", 0x203, fullname, "staticicon", 0, x, y, width, height, 0);
  takeicon(iconfile);
}

void addstaticbmp(const std::string &fullname, const std::string &imagefile, int x, int y,
                  int width, int height) {
  guideclare("static", 0x20E, fullname, "staticbmp", 0, x, y, width, height, 0);
  takebitmap(imagefile);
}

void checkbutton(const std::string &name) {
  if (HWND h = gethandle(name)) SendMessageA(h, BM_SETCHECK, 1, 0);
}

void uncheckbutton(const std::string &name) {
  if (HWND h = gethandle(name)) SendMessageA(h, BM_SETCHECK, 0, 0);
}
