// The kinds' classes, tags and styles; what guiinit and guiclose keep and
// forget; the current control and handle; combo corners; the remaining trap
// notices; guiwait; icons and bitmaps on controls and windows; getguirect.
#include "coretest.h"

#include <fstream>

using reviewfidelity = coretest;

static int fired = 0;
static void onany() { fired++; }

TEST_F(reviewfidelity, eachkindstoresitsclasstagandbasestyle) {
  struct kind { const char *name, *classname, *text; uint32_t style; guicallback callback; };
  addbutton("w.b", "go", onany, 0, 0, 10, 10, 0);
  addcheckbox("w.c", "tick", onany, 0, 0, 10, 10);
  addradiobutton("w.r", "one", onany, 0, 0, 10, 10);
  addiconbutton("w.ib", "no such.ico", onany, 0, 0, 10, 10);
  addbmpbutton("w.bb", "no such.bmp", onany, 0, 0, 10, 10);
  addstatic("w.s", "label", 0, 0, 10, 10, 0);
  addstaticicon("w.si", "no such.ico", 0, 0, 10, 10);
  addstaticbmp("w.sb", "no such.bmp", 0, 0, 10, 10);
  addgraphicbox("w.g", 0, 0, 10, 10, "GFX", 0);
  addedit("w.e", "text", onany, 0, 0, 10, 10, 0);
  addscrollbar("w.v", "vert", onany, 0, 0, 10, 10, 0);
  addscrollbar("w.h", "Vert", onany, 0, 0, 10, 10, 0);
  addcombobox("w.co", onany, 0, 0, 10, 10);
  addlistbox("w.l", onany, 0, 0, 10, 10, 0);
  const kind want[] = {
      {"w.b", "button", "go", 0x800000, onany},       {"w.c", "button", "tick", 2, onany},
      {"w.r", "button", "one", 4, onany},             {"w.ib", "button", "iconbutton", 0x40, onany},
      {"w.bb", "button", "bmpbutton", 0x80, onany},   {"w.s", "static", "label", 0, 0},
      {"w.si", "static", "staticicon", 0x203, 0},     {"w.sb", "static", "staticbmp", 0x20E, 0},
      {"w.g", "static", "graphicbox", 7, 0},          {"w.e", "edit", "text", 0x1004, onany},
      {"w.v", "scrollbar", "scroll", 1, onany},       {"w.h", "scrollbar", "scroll", 0, onany},
      {"w.co", "combobox", "combo", 0x200002, onany}, {"w.l", "listbox", "listebox", 0x200001, onany},
  };
  ASSERT_EQ(gui.controlsused, 14);
  for (int i = 1; i <= 14; i++) {
    const guicontrol &c = gui.controls[i];
    const kind &k = want[i - 1];
    EXPECT_EQ(c.fullname, k.name);
    EXPECT_EQ(c.window, "w");
    EXPECT_EQ(c.classname + "|" + c.text, std::string(k.classname) + "|" + k.text) << k.name;
    EXPECT_EQ(c.style, k.style) << k.name;
    EXPECT_EQ(c.callback, k.callback) << k.name;
  }
  EXPECT_EQ(getgraphicbox("w.g"), nullptr) << "only \"gfx\" exactly gives an image";
  addgraphicbox("w.g", 0, 0, 12, 9, "gfx", 0x1000);
  ASSERT_NE(getgraphicbox("w.g"), nullptr);
  EXPECT_EQ(getgraphicbox("w.g")->width * 100 + getgraphicbox("w.g")->height, 1209);
  EXPECT_EQ(getimagepixel(getgraphicbox("w.g"), 11, 8), 0xFF000000u);
  EXPECT_EQ(gui.controls[9].style, 0x1000u);
  EXPECT_TRUE(boxes.seen().empty()) << "missing image files are silent";
}

TEST_F(reviewfidelity, guiinitforgetseverythingguiclosekeepsthenames) {
  addedit("w.e", "", onany, 10, 10, 100, 24, 0);
  addgraphicbox("w.g", 10, 40, 20, 20, "gfx", 0);
  trapleftmouse("w.g", onany);
  addusersub(1000, onany);
  openplain("w");
  trapclose("w", onany);  // a window's trap needs the window registered

  guiclose("nomsg");
  EXPECT_EQ(gui.started, 0);
  EXPECT_EQ(iswindowopen("w"), 0);
  EXPECT_EQ(gui.windowsused * 10 + gui.controlsused, 12) << "names and counters stay";
  EXPECT_EQ(getgraphicbox("w.g"), nullptr) << "images are freed";
  EXPECT_EQ(gui.editbrush, (HBRUSH)0);
  EXPECT_EQ(gui.windows[1].close, &onany) << "traps stay";
  openplain("w");
  EXPECT_EQ(iswindowopen("w"), 1);
  EXPECT_NE(gethandle("w.e"), (HWND)0) << "reopened with its controls";
  HDC dc = GetDC(gethandle("w.e"));
  EXPECT_EQ(SendMessageA(gethandle("w"), WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)gethandle("w.e")),
            (LRESULT)GetStockObject(WHITE_BRUSH)) << "no edit brush: the stock white one";
  ReleaseDC(gethandle("w.e"), dc);

  guiinit();
  EXPECT_EQ(gui.windowsused + gui.controlsused, 0);
  EXPECT_EQ(iswindowopen("w"), 0);
  EXPECT_EQ(gui.usersub[1000], (guicallback)0);
  EXPECT_EQ(gui.windows[1].close, (guicallback)0);
  EXPECT_EQ(gui.controls[2].leftmouse, (guicallback)0);
  EXPECT_NE(gui.editbrush, (HBRUSH)0);
  addusersub(1000, onany);
  EXPECT_TRUE(boxes.seen().empty()) << "slot 1000 is free again";
}

TEST_F(reviewfidelity, thecurrentcontrolandhandlefollowtheoperationsthatsetthem) {
  addcombobox("w.co", 0, 10, 10, 100, 100);
  addedit("w.e", "", 0, 10, 120, 100, 24, 0);
  openplain("w");
  EXPECT_EQ(guicurrentcontrol(), "w.e") << "the last one added";
  setcombolist("w.co", {"a", "b"});
  EXPECT_EQ(guicurrentcontrol(), "w.co");
  gethandle("w");
  guisetfocushandle(gethandle("w.e") ? gui.controls[2].handle : 0);
  EXPECT_EQ(gui.currenthandle, gui.controls[2].handle);
  EXPECT_EQ(gettexthandle(0), "");
  EXPECT_EQ(getguiname(gui.controls[1].handle), "w.co");
  EXPECT_EQ(getguiname(gethandle("w")), "w");
  addstatic("shut.s", "", 0, 0, 10, 10, 0);
  openplain("shut");
  closewindow("shut");
  EXPECT_EQ(getguiname(0), "") << "not the closed window nor its control, both at handle 0";
}

TEST_F(reviewfidelity, combocornersreadthearraynotthecontrol) {
  addcombobox("w.co", onany, 10, 10, 100, 100);
  openplain("w");
  guistrings names = {"", "a", "b", "c"};
  setcombolist("w.co", names);
  selectcombotext("w.co", "c", names);
  EXPECT_EQ(getcombotext("w.co", {"", "x", "y"}), "") << "beyond the array's end";
  EXPECT_EQ(getcombotext("w.co", {"p", "q", "r"}), "r") << "element 0 shown: no shift";
  selectcombotext("w.co", "zz", names);
  int position = 0;
  getcomboindex("w.co", position);
  EXPECT_EQ(position, 3) << "no match: the selection stays";
  deletecomboitem("w.co", 1);
  EXPECT_EQ(SendMessageA(gethandle("w.co"), CB_GETCOUNT, 0, 0), 2);
  char first[16] = {};
  SendMessageA(gethandle("w.co"), CB_GETLBTEXT, 0, (LPARAM)first);
  EXPECT_STREQ(first, "b") << "position 1 is the first entry";
  resetcombo("w.co");
  EXPECT_EQ(SendMessageA(gethandle("w.co"), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(getcombotext("w.co", names), "") << "no selection";
  EXPECT_EQ(getlistboxitem("w.nosuch", 1), "");
  EXPECT_EQ(getlistboxtext("w.co"), "");
}

TEST_F(reviewfidelity, thelesserusedtraplabelsreadexactly) {
  trapresize("main", onany);
  traprightmouse("main.x", onany);
  trapleftmouseup("main.x", onany);
  traprightmouseup("main.x", onany);
  changeusersub(999, onany);
  EXPECT_EQ(gui.usersub[999], &onany) << "changeusersub has no lower bound";
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"warning", "trapresize :main not fount !"},
                                  {"warning", "traprightmouse :main.x not fount !"},
                                  {"warning", "trapleftmouseup :main.x not fount !"},
                                  {"warning", "traprightmouseup :main.x not fount !"}}));
}

TEST_F(reviewfidelity, guiwaitdispatchesonemessagebutneverthequit) {
  openplain("w");
  pump(20);
  addusersub(1000, onany);
  fired = 0;
  gui.quit = 1;  // guiscan inert: guiwait takes exactly the next message
  PostQuitMessage(0);
  guiwait();
  PostMessageA(gethandle("w"), WM_COMMAND, 1000, 0);
  guiwait();
  EXPECT_EQ(fired, 1);
  gui.quit = 0;
}

// Files written by hand: a 16 x 16 icon of one colour (32 bits a pixel) and a
// 2 x 2 24-bit bitmap, in the temporary folder.
namespace {
std::string reviewtemp(const std::string &name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "quarnreview" + std::to_string(GetCurrentProcessId()) + name;
}
void reviewput(std::string &out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++) out += (char)((v >> (8 * i)) & 255);
}
void reviewwrite(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
}
void reviewicon(const std::string &path, uint32_t argb) {
  std::string out;
  for (uint32_t v : {0u, 1u, 1u}) reviewput(out, v, 2);  // an icon file with one image
  for (uint32_t v : {16u, 16u, 0u, 0u}) reviewput(out, v, 1);
  reviewput(out, 1, 2);
  reviewput(out, 32, 2);
  reviewput(out, 40 + 16 * 16 * 4 + 16 * 4, 4);
  reviewput(out, 22, 4);
  for (uint32_t v : {40u, 16u, 32u}) reviewput(out, v, 4);  // the height counts both masks
  reviewput(out, 1, 2);
  reviewput(out, 32, 2);
  for (int i = 0; i < 6; i++) reviewput(out, 0, 4);
  for (int i = 0; i < 16 * 16; i++) reviewput(out, argb, 4);
  out += std::string(16 * 4, '\0');  // and-mask: every pixel shown
  reviewwrite(path, out);
}
void reviewbmp(const std::string &path) {
  std::string out = "BM";
  for (uint32_t v : {54u + 16u, 0u, 54u, 40u, 2u, 2u}) reviewput(out, v, 4);
  reviewput(out, 1, 2);
  reviewput(out, 24, 2);
  for (int i = 0; i < 6; i++) reviewput(out, 0, 4);
  for (int row = 0; row < 2; row++) out += std::string("\x10\x20\x30\x40\x50\x60\0\0", 8);
  reviewwrite(path, out);
}
}  // namespace

TEST_F(reviewfidelity, iconsandbitmapsareattachedwhenthewindowopens) {
  std::string ico = reviewtemp(".ico"), bmp = reviewtemp(".bmp"), text = reviewtemp(".txt");
  reviewicon(ico, 0xFF20A040u);
  reviewbmp(bmp);
  reviewwrite(text, "not an icon");
  addiconbutton("w.ib", ico, 0, 10, 10, 40, 40);
  addstaticicon("w.si", text, 60, 10, 40, 40);
  addstaticbmp("w.sb", bmp, 110, 10, 40, 40);
  HICON icon = gui.controls[1].icon;
  HBITMAP picture = gui.controls[3].bitmap;
  ASSERT_NE(icon, (HICON)0);
  ASSERT_NE(picture, (HBITMAP)0);
  EXPECT_EQ(gui.controls[2].icon, (HICON)0) << "no icon in the file: none, not 1";
  openplain("w");
  EXPECT_EQ(SendMessageA(gethandle("w.ib"), BM_GETIMAGE, IMAGE_ICON, 0), (LRESULT)icon);
  EXPECT_EQ(SendMessageA(gethandle("w.sb"), STM_GETIMAGE, IMAGE_BITMAP, 0), (LRESULT)picture);
  EXPECT_TRUE(boxes.seen().empty());
  for (auto &f : {ico, bmp, text}) DeleteFileA(f.c_str());
}

TEST_F(reviewfidelity, theprogramiconcomesfromtheiconfileelsetheprogramfile) {
  // Start-up's path; an earlier guiinit without the file has replaced it.
  char here[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof here, here);
  std::string keep = gui.iconpath, file = std::string(here) + "/gui_quarn.ico";
  gui.iconpath = file;
  reviewicon(file, 0xFFC02020u);
  guiinit();
  HICON icon = gui.programicon;
  ASSERT_NE(icon, (HICON)0);
  openplain("w");
  EXPECT_EQ(SendMessageA(gethandle("w"), WM_GETICON, ICON_BIG, 0), (LRESULT)icon);
  EXPECT_EQ(SendMessageA(gethandle("w"), WM_GETICON, ICON_SMALL, 0), (LRESULT)icon);
  DeleteFileA(file.c_str());
  guiinit();  // no icon file: the program file's own icon (this one has none)
  char self[300] = {};
  GetModuleFileNameA(0, self, sizeof self);
  EXPECT_EQ(gui.iconpath, self);
  EXPECT_EQ(gui.programicon, (HICON)0);
  gui.iconpath = keep;
}

TEST_F(reviewfidelity, guirectshowsthewindowandgivesitsscreenrectangle) {
  openwindow("w", "w", 30, 40, 320, 200, WS_OVERLAPPEDWINDOW, 0);
  guihide("w");
  EXPECT_FALSE(IsWindowVisible(gethandle("w")));
  int x = -1, y = -1, width = -1, height = -1;
  getguirect("w", x, y, width, height);
  EXPECT_TRUE(IsWindowVisible(gethandle("w")));
  EXPECT_EQ((std::vector<int>{x, y, width, height}), (std::vector<int>{30, 40, 320, 200}));
  x = 7;
  getguirect("nosuch", x, y, width, height);
  EXPECT_EQ(x, 7);
}
