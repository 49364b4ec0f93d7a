// gallery: a window with one control of each kind, a menu bar and an OpenGL
// graphic box. Every callback writes what it received (event index, code,
// mouse position, list position ...) into the status box, newest line first,
// so this file doubles as a worked example of declaring controls, opening the
// window, adding its menus and reading guievent.
// Thread: one thread, the user-interface thread.
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/gallery/galleryshot.h"
#include "gui_quarn/gui_quarn.h"

static const guistrings fruits = {"", "apple", "banana", "cherry", "damson"};
static const guistrings rooms = {"kitchen", "hall", "cellar", "attic"};
static std::string statuslines;
static int statuscount = 0;
static bool checked = false;

// Newest line on top; the oldest drop off after six.
static void status(const std::string &line) {
  std::string text = line + "\r\n" + statuslines;
  int lines = 0;
  size_t cut = 0;
  while (lines < 6 && (cut = text.find("\r\n", cut)) != std::string::npos) {
    cut += 2;
    lines++;
  }
  statuslines = lines == 6 ? text.substr(0, cut) : text;
  settext("gal.msg", statuslines);
  statuscount++;
}

static std::string commandline(const char *what) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%s: index %d code %d (%s)", what, guievent.index,
                guievent.code, guicurrentcontrol().c_str());
  return buf;
}

static void onbutton() { status(commandline("button click")); }

static void oncheck() {
  checked = !checked;
  if (checked) checkbutton("gal.check"); else uncheckbutton("gal.check");
  status(commandline(checked ? "check box on" : "check box off"));
}

static void onradio() {
  bool one = guicurrentcontrol() == "gal.radio1";
  checkbutton(one ? "gal.radio1" : "gal.radio2");
  uncheckbutton(one ? "gal.radio2" : "gal.radio1");
  status(commandline(one ? "radio one" : "radio two"));
}

static void oniconbutton() { status(commandline("icon button")); }

// The bitmap button reaches usersub 1000 by posting its command number.
static void onbmpbutton() {
  status(commandline("bitmap button"));
  PostMessageA(gethandle("gal"), WM_COMMAND, 1000, 0);
}
static void onusersub() { status("usersub 1000 called (the event record is left as it was)"); }

static void onedit() { status("edit, Enter pressed: \"" + gettext("gal.edit") + "\""); }

static void onscroll() {
  char buf[160];
  std::snprintf(buf, sizeof buf, "scroll bar: message %u request %d position %d", guievent.msg,
                (int)LOWORD(guievent.wparam), GetScrollPos((HWND)guievent.lparam, SB_CTL));
  status(buf);
}

static void oncombo() {
  int position = 0;
  getcomboindex("gal.combo", position);
  status(commandline("combo box") + " position " + std::to_string(position) + " \"" +
         getcombotext("gal.combo", fruits) + "\"");
}

static void onlist() {
  int position = 0;
  getlistboxindex("gal.list", position);
  status(commandline("list box") + " position " + std::to_string(position) + " \"" +
         getlistboxtext("gal.list") + "\"");
}

// A small cross where the mouse went down, so the box shows that it heard.
static void onboxdown() {
  imagebuffer *image = getgraphicbox("gal.gfx");
  for (int d = -4; d <= 4; d++) {
    setimagepixel(image, guievent.mousex + d, guievent.mousey, 0xFFFFFFFFu);
    setimagepixel(image, guievent.mousex, guievent.mousey + d, 0xFFFFFFFFu);
  }
  redrawcontrol("gal.gfx");
  status("graphic box, left button down at x " + std::to_string(guievent.mousex) + " y " +
         std::to_string(guievent.mousey));
}
static void onboxright() {
  status("graphic box, right button at x " + std::to_string(guievent.mousex) + " y " +
         std::to_string(guievent.mousey));
}

// The menu bar: a check mark that follows the item, a greyed item that can
// never be chosen, and an item whose caption counts how often it was chosen.
static bool menuchecked = false;
static int renames = 0;
static void onmenucheck() {
  menuchecked = !menuchecked;
  if (menuchecked) checkmenuitem("gal.demo", 1); else uncheckmenuitem("gal.demo", 1);
  status(commandline(menuchecked ? "menu item checked" : "menu item unchecked"));
}
static void onmenugrey() { status("the greyed item was chosen (it should not be)"); }
static void onmenurename() {
  renames++;
  setmenutext("gal.demo", 3, "renamed " + std::to_string(renames) + " times");
  status(commandline("menu item renamed"));
}

// The OpenGL box: a textured quad (the striped picture) and outline text
// leaning back to show its depth.
static int gltexture = 0;
static bool keepframes = false;         // screenshot mode
static std::vector<uint32_t> glpixels;  // the last frame, rows top-down
static void drawgl() {
  int w = 440, h = 130;
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 4.0 * w / h, 0, 4, -4, 4);  // 4 glyph heights tall
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0.08f, 0.10f, 0.25f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);

  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, gltexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0); glVertex3f(0.3f, 0.3f, 0);
  glTexCoord2f(1, 0); glVertex3f(3.9f, 0.3f, 0);
  glTexCoord2f(1, 1); glVertex3f(3.9f, 3.7f, 0);
  glTexCoord2f(0, 1); glVertex3f(0.3f, 3.7f, 0);
  glEnd();
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  glTranslatef(4.4f, 1.4f, 0);
  glRotatef(-25, 1, 0, 0);
  glScalef(1.6f, 1.6f, 1.6f);
  glColor3f(1.0f, 0.85f, 0.2f);
  gldrawtext("gui_quarn");
  glLoadIdentity();
  glTranslatef(4.4f, 0.4f, 0);
  glScalef(0.7f, 0.7f, 0.7f);
  glColor3f(0.6f, 0.9f, 1.0f);
  gldrawtext("OpenGL outline text");
  // Kept for the screenshot: under Wine an OpenGL child control is drawn off
  // the screen, so the picture takes the frame from here.
  if (keepframes) {
    std::vector<uint32_t> bottomup((size_t)w * h);
    glReadPixels(0, 0, w, h, GL_BGRA_EXT, GL_UNSIGNED_BYTE, bottomup.data());
    glpixels.resize(bottomup.size());
    for (int y = 0; y < h; y++)
      std::copy_n(&bottomup[(size_t)(h - 1 - y) * w], w, &glpixels[(size_t)y * w]);
  }
  guiswapbuffers();
}

static void onkey() {
  if (guievent.msg == WM_KEYDOWN) status("window key down: virtual key " + std::to_string(guievent.key));
}
static void onclose() {
  guistopopenGL();
  guiexit("nomsg");
}

// A colour wheel of sorts: red across, green down, blue on the diagonal.
static void drawbox() {
  imagebuffer *image = getgraphicbox("gal.gfx");
  if (!image) return;
  for (int y = 0; y < image->height; y++)
    for (int x = 0; x < image->width; x++) {
      uint32_t r = 255u * x / image->width, g = 255u * y / image->height;
      uint32_t b = ((x + y) / 8) % 2 ? 160 : 60;
      setimagepixel(image, x, y, 0xFF000000u | r << 16 | g << 8 | b);
    }
}

// A 64 x 40 striped picture for the bitmap button and the static bitmap.
static std::string makepicture() {
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(sizeof folder, folder);
  std::string path = std::string(folder) + "gallery_picture.bmp";
  std::vector<uint32_t> pixels(64 * 40);
  for (int y = 0; y < 40; y++)
    for (int x = 0; x < 64; x++) pixels[y * 64 + x] = (x / 8 + y / 8) % 2 ? 0x2060C0 : 0xF0C020;
  writebmp(path, pixels, 64, 40);
  return path;
}

static std::string iconfile() {
  char folder[MAX_PATH + 1] = {};
  GetSystemDirectoryA(folder, sizeof folder);
  return std::string(folder) + "\\shell32.dll";
}

static std::string picturepath;

static void declaregallery() {
  std::string picture = makepicture();
  picturepath = picture;
  seteditbackcolor(255, 255, 230);
  setlistboxbackcolor(235, 242, 255);
  setstatictextcolor(0, 0, 128);

  addstatic("gal.title", "one control of each kind; the box on the right shows each event", 10, 10, 560, 20, 0);
  addbutton("gal.button", "push button", onbutton, 10, 40, 120, 28, 0);
  addcheckbox("gal.check", "check box", oncheck, 10, 76, 120, 22);
  addradiobutton("gal.radio1", "radio one", onradio, 10, 100, 120, 22);
  addradiobutton("gal.radio2", "radio two", onradio, 10, 124, 120, 22);
  addiconbutton("gal.iconbutton", iconfile(), oniconbutton, 140, 40, 48, 48);
  addbmpbutton("gal.bmpbutton", picture, onbmpbutton, 196, 40, 72, 48);
  addstaticicon("gal.staticicon", iconfile(), 140, 100, 48, 48);
  addstaticbmp("gal.staticbmp", picture, 196, 100, 72, 48);
  addedit("gal.edit", "type here, then Enter", onedit, 10, 160, 258, 24, WS_BORDER | ES_AUTOHSCROLL);
  addscrollbar("gal.hscroll", "horiz", onscroll, 10, 194, 258, 18, 0);
  addscrollbar("gal.vscroll", "vert", onscroll, 280, 40, 18, 200, 0);
  addcombobox("gal.combo", oncombo, 10, 220, 258, 150);
  addlistbox("gal.list", onlist, 10, 252, 258, 90, 0);
  addgraphicbox("gal.gfx", 310, 40, 240, 172, "gfx", 0);
  addstatic("gal.msglabel", "what the last callbacks received (newest first):", 310, 222, 400, 20, 0);
  addedit("gal.msg", "", 0, 310, 244, 430, 120,
          WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY);
  // No "gfx": OpenGL draws this box, nothing is painted over it.
  addgraphicbox("gal.gl", 300, 374, 440, 130, "", 0);
  addstatic("gal.gllabel", "an OpenGL graphic box: a texture and outline text", 10, 374, 280, 40, 0);
  drawbox();
  trapleftmouse("gal.gfx", onboxdown);
  traprightmouse("gal.gfx", onboxright);
  addusersub(1000, onusersub);
}

// Window traps and list contents need the window: it must be open first.
static void fillgallery() {
  trapclose("gal", onclose);
  trapkeyboard("gal", onkey);
  // A fresh scroll-bar control has the range 0..0; give both room to move.
  SetScrollRange(gethandle("gal.hscroll"), SB_CTL, 0, 100, TRUE);
  SetScrollRange(gethandle("gal.vscroll"), SB_CTL, 0, 25, TRUE);
  setcombolist("gal.combo", fruits);
  setlistboxlist("gal.list", rooms);
  addmenu("gal.demo", "&menu", MF_POPUP);
  addmenuitem("gal.demo.check", "checkable item", onmenucheck, 0);
  addmenuitem("gal.demo.grey", "greyed item", onmenugrey, 0);
  addmenuitem("gal.demo.rename", "rename me", onmenurename, 0);
  disablemenuitem("gal.demo", 2);
  addmenu("gal.help", "help", MF_POPUP);
  addmenuitem("gal.help.about", "about the gallery", onbutton, 0);
  guistartopenGL("gal.gl");
  gltexture = guiloadtexture(picturepath, 255, 0, 0);  // the picture as copied
  status("ready: click, select, scroll, type and press Enter");
}

static void pumpfor(int milliseconds) {
  for (int t = 0; t < milliseconds; t += 20) {
    guiscan();
    drawgl();
    guisleep(20);
  }
}

// The drop-down is photographed open: a timer, which runs inside the menu's
// own message loop, takes the picture and then closes the menu.
static std::string shotpath;
static bool shotok = false;
static void CALLBACK shootopenmenu(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  drawgl();
  shotok = shootwindow(window, shotpath, gethandle("gal.gl"), &glpixels);
  EndMenu();
}
static void shootwithmenuopen(HWND window) {
  HMENU bar = GetMenu(window);
  RECT item = {};
  GetMenuItemRect(window, bar, 0, &item);
  SetTimer(window, 1, 500, shootopenmenu);
  TrackPopupMenu(GetSubMenu(bar, 0), TPM_LEFTALIGN | TPM_TOPALIGN, item.left, item.bottom, 0,
                 window, 0);
}

// Plays a few events through the real controls so the picture shows the
// callbacks at work, then photographs the window.
static int screenshot(const std::string &path) {
  keepframes = true;
  pumpfor(800);
  HWND window = gethandle("gal");
  SendMessageA(gethandle("gal.button"), BM_CLICK, 0, 0);
  SendMessageA(gethandle("gal.check"), BM_CLICK, 0, 0);
  setcomboindex("gal.combo", 2);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(guifind("gal.combo"), CBN_SELCHANGE),
               (LPARAM)gethandle("gal.combo"));
  setlistboxindex("gal.list", 3);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(guifind("gal.list"), LBN_SELCHANGE),
               (LPARAM)gethandle("gal.list"));
  SendMessageA(window, WM_HSCROLL, SB_PAGEDOWN, (LPARAM)gethandle("gal.hscroll"));
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(310 + 120, 40 + 86));
  // Menu items send their slot as command number and no handle.
  for (const char *item : {"gal.demo.check", "gal.demo.rename", "gal.demo.rename"})
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(guifind(item), 0), 0);
  pumpfor(800);
  shotpath = path;
  shootwithmenuopen(window);
  bool ok = shotok;
  std::printf("gallery: %d status lines, screenshot %s %s\n", statuscount, path.c_str(),
              ok ? "saved" : "FAILED");
  guistopopenGL();
  guiclose("nomsg");
  return ok && statuscount >= 10 ? 0 : 1;
}

int main(int argc, char **argv) {
  guiinit();
  declaregallery();
  openwindow("gal", "gui_quarn gallery", 60, 60, 770, 570, WS_OVERLAPPEDWINDOW, 0);
  fillgallery();
  if (argc == 3 && std::string(argv[1]) == "screenshot") return screenshot(argv[2]);
  while (!gui.quit) {
    guiscan();
    drawgl();
    guisleep(20);
  }
  guistopopenGL();
  guiclose("nomsg");
  return 0;
}
