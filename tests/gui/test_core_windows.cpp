// Opening, closing and reopening windows; the close box; guiclose.
#include "coretest.h"

#include <cstdio>

using corewindows = coretest;

static int closings = 0;
static HWND closedfrom = 0;
static void onclose() {
  closings++;
  closedfrom = guievent.hwnd;
}

// The native child of `window` with identifier `id`, checked to be what the
// table says.
static void expectcreated(HWND window, int id, const char *classname, uint32_t style) {
  HWND child = GetDlgItem(window, id);
  ASSERT_NE(child, (HWND)0) << "control " << id;
  EXPECT_EQ(child, gui.controls[id].handle);
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  EXPECT_STREQ(CharLowerA(cls), classname);
  uint32_t actual = (uint32_t)GetWindowLongA(child, GWL_STYLE);
  EXPECT_EQ(actual & (style | 0x54000000u), style | 0x54000000u) << "child, visible, clip siblings";
}

TEST_F(corewindows, openingcreatesthedeclaredcontrolswiththeirindexasidentifier) {
  declare("other.b", "button", 0);
  declare("w.b", "button", 0x800000, 0, 10, 10, 80, 24, "play");
  declare("w.e", "edit", 0x1004, 0, 10, 40, 200, 60, "hello");
  declare("w.file", "menu", 0);
  openplain("w");
  HWND h = gethandle("w");
  ASSERT_NE(h, (HWND)0);
  EXPECT_EQ(iswindowopen("w"), 1);
  EXPECT_TRUE(IsWindowVisible(h));
  expectcreated(h, 2, "button", 0x800000);
  expectcreated(h, 3, "edit", 0x1004);
  char text[32] = {};
  GetWindowTextA(gui.controls[2].handle, text, sizeof text);
  EXPECT_STREQ(text, "play");
  EXPECT_EQ(gui.controls[1].handle, (HWND)0) << "another window's control";
  EXPECT_EQ(gui.controls[4].handle, (HWND)0) << "menus are not made at opening";
}

TEST_F(corewindows, openingtwiceleavesthefirstwindowandsaysso) {
  declare("w.b", "button", 0);
  openplain("w");
  HWND first = gethandle("w");
  HWND button = gui.controls[1].handle;
  openwindow("w", "again", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guinotice", "w window yet opened !"}}));
  EXPECT_EQ(gethandle("w"), first);
  EXPECT_EQ(gui.controls[1].handle, button);
  EXPECT_EQ(gui.windows[1].caption, "w");
  EXPECT_EQ(gui.windowsused, 1);
}

TEST_F(corewindows, closeandreopenrecreatesthecontrolsinthesameslot) {
  declare("w.b", "button", 0);
  declare("w.e", "edit", 0);
  openplain("w");
  HWND oldwindow = gethandle("w");
  HWND oldbutton = gui.controls[1].handle;

  closewindow("w");
  EXPECT_FALSE(IsWindow(oldwindow));
  EXPECT_FALSE(IsWindow(oldbutton));
  EXPECT_EQ(iswindowopen("w"), 0);
  EXPECT_EQ(gethandle("w"), (HWND)0);
  EXPECT_EQ(gui.controls[1].handle, (HWND)0);
  EXPECT_EQ(gui.controls[2].handle, (HWND)0);

  declare("w.late", "button", 0);  // declared while closed: made at the reopening

  openplain("w");
  EXPECT_EQ(gui.windowsused, 1);
  EXPECT_EQ(guiwindowindex("w"), 1);
  HWND h = gethandle("w");
  for (int id = 1; id <= 3; id++) EXPECT_EQ(GetDlgItem(h, id), gui.controls[id].handle);
  EXPECT_NE(gui.controls[3].handle, (HWND)0);
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(corewindows, acontroldeclaredwhileitswindowisopenwaitsforthereopening) {
  openplain("w");
  declare("w.late", "button", 0);
  EXPECT_EQ(gui.controls[1].handle, (HWND)0);
  EXPECT_EQ(GetDlgItem(gethandle("w"), 1), (HWND)0);
}

TEST_F(corewindows, closingaclosedwindowsayssoandanunknownonesaysnothing) {
  openplain("w");
  closewindow("w");
  closewindow("w");
  closewindow("neveropened");
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guinotice", "w window yet closed !"}}));
}

TEST_F(corewindows, thecloseboxonlycallsthetrap) {
  openplain("w");
  HWND h = gethandle("w");
  EXPECT_EQ(SendMessageA(h, WM_CLOSE, 0, 0), 0);
  pump();
  EXPECT_TRUE(IsWindow(h)) << "a window without a close trap cannot be closed";
  EXPECT_EQ(iswindowopen("w"), 1);

  closings = 0;
  trapclose("w", onclose);
  PostMessageA(h, WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(closings, 1);
  EXPECT_EQ(closedfrom, h);
  EXPECT_TRUE(IsWindow(h)) << "the trap decides; the toolkit destroys nothing";

  trapclose("w", 0);
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(closings, 1) << "a zero callback removes the trap";
}

TEST_F(corewindows, guicloseclosesallwindowsandtellsunlessnomsg) {
  declare("b.x", "button", 0);
  openplain("a");
  openplain("b");
  openplain("c");
  closewindow("b");
  guiclose("");
  EXPECT_EQ(boxes.seen(),
            (std::vector<seenbox>{{"guinotice", "a : window closed by guiclose !"},
                                  {"guinotice", "c : window closed by guiclose !"}}));
  EXPECT_EQ(iswindowopen("a") + iswindowopen("c"), 0);
  EXPECT_EQ(gui.started, 0);

  // Names survive guiclose: the window reopens with its controls.
  openplain("b");
  EXPECT_EQ(gui.started, 1);
  EXPECT_NE(GetDlgItem(gethandle("b"), 1), (HWND)0);
  guiclose("nomsg");
  EXPECT_EQ(boxes.seen().size(), 2u);
}

// A 16 x 16 32-bit icon file, written by hand.
static void writeicon(const std::string &path) {
  std::vector<unsigned char> f;
  auto put16 = [&](unsigned v) { f.push_back(v & 255); f.push_back(v >> 8 & 255); };
  auto put32 = [&](unsigned v) { put16(v & 0xFFFF); put16(v >> 16); };
  const unsigned imagebytes = 40 + 16 * 16 * 4 + 16 * 4;
  put16(0); put16(1); put16(1);                       // icon directory, one image
  f.push_back(16); f.push_back(16); f.push_back(0); f.push_back(0);
  put16(1); put16(32); put32(imagebytes); put32(22);  // planes, bits, size, offset
  put32(40); put32(16); put32(32); put16(1); put16(32);  // header: height doubled
  for (int i = 0; i < 6; i++) put32(0);
  for (int i = 0; i < 16 * 16; i++) put32(0xFF20A040);   // green, opaque
  for (int i = 0; i < 16; i++) put32(0);                  // and-mask: all shown
  FILE *out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(f.data(), 1, f.size(), out);
  std::fclose(out);
}

TEST_F(corewindows, windowscarrytheiconfileasprogramicon) {
  std::string saved = gui.iconpath;
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(sizeof folder, folder);
  gui.iconpath = std::string(folder) + "gui_quarn_test.ico";
  writeicon(gui.iconpath);
  guiinit();
  ASSERT_NE(gui.programicon, (HICON)0);
  openplain("w");
  EXPECT_EQ(SendMessageA(gethandle("w"), WM_GETICON, ICON_BIG, 0), (LRESULT)gui.programicon);
  EXPECT_EQ(SendMessageA(gethandle("w"), WM_GETICON, ICON_SMALL, 0), (LRESULT)gui.programicon);
  guiclose("nomsg");
  EXPECT_EQ(gui.programicon, (HICON)0);
  DeleteFileA(gui.iconpath.c_str());

  guiinit();  // the file is gone: the program file is asked instead
  char program[256] = {};
  GetModuleFileNameA(0, program, 255);
  EXPECT_EQ(gui.iconpath, program);
  gui.iconpath = saved;
}
