// guistartup: the toolkit's start-up, guiinit, guiclose and guiexit.
// Thread: user-interface thread (start-up runs while the module initialises,
// before any other toolkit call).
#include "gui_quarn/guicore.h"
#include "gui_quarn/guiimage.h"
#include "gui_quarn/guifolders.h"

#include <shellapi.h>

#include <cstdio>

// The module this copy of the toolkit is linked into (program or plug-in), so
// each instance registers its own window class.
extern "C" IMAGE_DOS_HEADER __ImageBase;

static bool fileexists(const std::string &path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The drawing buffer is always 32 bits a pixel, whatever the screen depth:
// its words are handed to StretchDIBits as they are, so the header must say
// 32 or the pixels would be read as a different layout.
void guimakedrawbuffer() {
  destroyimage(gui.drawbuffer);
  gui.drawbuffer = createimage(2048, 2048, 0xFF000000u);
  BITMAPV4HEADER &h = gui.drawheader;
  h = BITMAPV4HEADER{};
  h.bV4Size = 108;
  h.bV4Width = 2048;
  h.bV4Height = -2048;  // rows top-down
  h.bV4Planes = 1;
  h.bV4BitCount = 32;
  h.bV4V4Compression = BI_RGB;
  h.bV4RedMask = 0xF00;
  h.bV4GreenMask = 0xF0;
  h.bV4BlueMask = 0xF;
  h.bV4AlphaMask = 0xF000;
}

static bool startupdone = false;
// Start-up runs while the module is being loaded (for the plug-in, inside the
// loader's lock), where reading icons out of files is unwise. Its icon is
// therefore taken at the first openwindow, which is the first time it is used.
static bool startingup = false;
static bool iconpending = false;

void guistartup() {
  if (startupdone) return;
  startupdone = true;
  gui.screenwidth = GetSystemMetrics(SM_CXSCREEN);
  gui.screenheight = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(0);
  if (screen) {
    gui.screendepth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(0, screen);
  }
  guimakedrawbuffer();
  gui.instance = (HINSTANCE)&__ImageBase;
  gui.iconpath = guicurrentdirectory() + "/gui_quarn.ico";
  startingup = true;
  guiinit();
  startingup = false;
}

// ExtractIconA gives 0 for "no icon" and 1 for "not an icon file": both none.
static HICON firsticon(const std::string &path) {
  HICON icon = ExtractIconA(gui.instance, path.c_str(), 0);
  return (uintptr_t)icon <= 1 ? 0 : icon;
}

// The icon file in the current directory, else the program file's own icon.
static void takeprogramicon() {
  if (gui.programicon) DestroyIcon(gui.programicon);
  gui.programicon = 0;
  if (!fileexists(gui.iconpath)) gui.iconpath = guimodulepath(nullptr);
  gui.programicon = firsticon(gui.iconpath);
}

void guitakependingicon() {
  if (!iconpending) return;
  iconpending = false;
  takeprogramicon();
}

void guiinit() {
  if (gui.started) guiclose("nomsg");
  guimakedrawbuffer();

  iconpending = startingup;
  if (!startingup) takeprogramicon();

  if (gui.editbrush) DeleteObject(gui.editbrush);
  if (gui.listbrush) DeleteObject(gui.listbrush);
  gui.editbrush = CreateSolidBrush(gui.editbackcolor);
  gui.listbrush = CreateSolidBrush(gui.listbackcolor);

  gui.windowsused = 0;
  gui.controlsused = 0;
  for (int i = 0; i <= ngui; i++) {
    guiwindow &w = gui.windows[i];
    w.name.clear();
    w.handle = 0;
    w.menubar = 0;
    w.opened = 0;
    w.close = w.resize = w.keyboard = 0;
    guicontrol &c = gui.controls[i];
    // Images still held when no window was ever opened (guiclose frees them
    // otherwise) go here rather than being forgotten.
    if (c.icon) DestroyIcon(c.icon);
    if (c.bitmap) DeleteObject(c.bitmap);
    destroyimage(c.image);
    c.fullname.clear();
    c.window.clear();
    c.callback = 0;
    c.leftmouse = c.rightmouse = c.leftmouseup = c.rightmouseup = c.movemouse = 0;
    c.icon = 0;
    c.bitmap = 0;
    c.image = 0;
  }
  for (int i = 0; i <= nusersub; i++) gui.usersub[i] = 0;
}

void guiclose(const std::string &option) {
  for (int i = 1; i <= gui.windowsused; i++) {
    if (!gui.windows[i].opened) continue;
    std::string name = gui.windows[i].name;
    if (option != "nomsg") guinotice(name + " : window closed by guiclose !", "guinotice");
    closewindow(name);
  }
  if (gui.programicon) DestroyIcon(gui.programicon);
  gui.programicon = 0;
  iconpending = false;
  for (int i = 1; i <= gui.controlsused; i++) {
    guicontrol &c = gui.controls[i];
    if (c.icon) DestroyIcon(c.icon);
    c.icon = 0;
    if (c.bitmap) DeleteObject(c.bitmap);
    c.bitmap = 0;
    destroyimage(c.image);
    c.image = 0;
    if (c.handle && c.classname == "menu" && IsMenu((HMENU)c.handle)) DestroyMenu((HMENU)c.handle);
    c.handle = 0;
  }
  destroyimage(gui.drawbuffer);
  gui.drawbuffer = 0;
  UnregisterClassA("GUIQUARN", gui.instance);
  HGDIOBJ objects[] = {gui.windowbrush, gui.editbrush, gui.listbrush, gui.editfont,
                       gui.staticfont, gui.listfont, gui.buttonfont};
  for (HGDIOBJ o : objects)
    if (o) DeleteObject(o);
  gui.windowbrush = 0;
  gui.editbrush = gui.listbrush = 0;
  gui.editfont = gui.staticfont = gui.listfont = gui.buttonfont = 0;
  gui.started = 0;
}

void guiexit(const std::string &option) {
  if (gui.started) guiclose(option);
  PostQuitMessage(0);
  ExitProcess(0);
}
