// windowkit.cpp: the helpers of windowkit.h.
#include "windowkit.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The built module; CMake gives a Unix path, reached through drive Z: under Wine.
std::string builtmodule() {
  std::string path = RINGOUT_DLL;
  if (path[0] == '/') path = "Z:" + path;
  return path;
}

// A message to the window's thread, answered once it next pumps (every 100 ms);
// the callbacks it starts have finished when this returns.
LRESULT sendto(HWND target, UINT msg, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutA(target, msg, wparam, lparam, SMTO_NORMAL, 20000, &result), 0) << msg;
  return static_cast<LRESULT>(result);
}

// The child control whose top-left corner lies at (x, y) in the window's client area.
struct Finder {
  HWND window;
  int x, y;
  HWND found;
};
BOOL CALLBACK findat(HWND child, LPARAM data) {
  Finder &f = *reinterpret_cast<Finder *>(data);
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, f.window, reinterpret_cast<POINT *>(&r), 2);
  if (r.left == f.x && r.top == f.y) f.found = child;
  return f.found == nullptr;
}
HWND controlat(HWND window, int x, int y) {
  Finder f{window, x, y, nullptr};
  EnumChildWindows(window, findat, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// A query waits for the window's next pump (every 100 ms); queries sent from
// threads of their own all wait for the same one.
template <typename each>
void inparallel(int n, each body) {
  std::vector<std::thread> threads;
  for (int i = 0; i < n; i++) threads.emplace_back(body, i);
  for (std::thread &t : threads) t.join();
}

}  // namespace

RingoutWin RingoutWin::find(const std::string &caption) {
  RingoutWin w;
  EXPECT_TRUE(waitfor([&] { return (w.window = FindWindowA(nullptr, caption.c_str())) != nullptr; })) << caption;
  if (!w.window) return w;
  // The caption is there as soon as the window is; its controls come just after.
  const bool complete = waitfor([&] {
    w.gain = controlat(w.window, 20, 23);
    w.kdecay = controlat(w.window, 90, 23);
    w.tdecay = controlat(w.window, 183, 23);
    w.decay = controlat(w.window, 183, 65);
    w.rate = controlat(w.window, 90, 65);
    w.tdecayon = controlat(w.window, 20, 68);
    return w.gain && w.kdecay && w.tdecay && w.decay && w.rate && w.tdecayon;
  });
  EXPECT_TRUE(complete) << caption << ": not every control at its place";
  if (!complete) w.rate = nullptr;
  else EXPECT_TRUE(waitfor([&] { return count(w.rate) == 21; })) << "the lists are never filled";
  return w;
}

int RingoutWin::count(HWND combo) { return static_cast<int>(sendto(combo, CB_GETCOUNT, 0, 0)); }

std::string RingoutWin::entry(HWND combo, int position) {
  const LRESULT length = sendto(combo, CB_GETLBTEXTLEN, position - 1, 0);
  if (length < 0) return "";
  std::vector<char> text(length + 1, '\0');
  sendto(combo, CB_GETLBTEXT, position - 1, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

std::vector<std::string> RingoutWin::entries(HWND combo) {
  std::vector<std::string> all(count(combo));
  inparallel(static_cast<int>(all.size()), [&](int i) { all[i] = entry(combo, i + 1); });
  return all;
}

std::string RingoutWin::selected(HWND combo) {
  const LRESULT index = sendto(combo, CB_GETCURSEL, 0, 0);
  return index < 0 ? "" : entry(combo, static_cast<int>(index) + 1);
}

std::string RingoutWin::selections() const {
  const HWND lists[] = {gain, decay, tdecay, kdecay, rate};
  std::string shown[5];
  inparallel(5, [&](int i) { shown[i] = selected(lists[i]); });
  return shown[0] + " " + shown[1] + " " + shown[2] + " " + shown[3] + " " + shown[4];
}

bool RingoutWin::checked() const { return sendto(tdecayon, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// As a real combo box does: the selection moves, then the parent hears of it.
void RingoutWin::choose(HWND combo, int position) const {
  sendto(combo, CB_SETCURSEL, position - 1, 0);
  sendto(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void RingoutWin::choose(HWND combo, const std::string &text) const {
  const LRESULT index = sendto(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) {
    ADD_FAILURE() << "no entry " << text;
    return;
  }
  choose(combo, static_cast<int>(index) + 1);
}

void RingoutWin::clickdecay() const { sendto(tdecayon, BM_CLICK, 0, 0); }

void RingoutWin::closebox() const { sendto(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

// Escape while the window has the keyboard, held long enough for its 100 ms loop.
void RingoutWin::escape() const {
  EXPECT_TRUE(SetForegroundWindow(window));
  INPUT key = {};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = VK_ESCAPE;
  SendInput(1, &key, sizeof key);
  Sleep(400);
  key.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &key, sizeof key);
}

void RingoutHost::SetUp() {
  static std::atomic<int> made;
  prog = (fs::temp_directory_path() /
          ("ringoutwindow_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made)))
             .string();
  fs::remove_all(prog);
  fs::create_directories(prog);
  startcwd = fs::current_path().string();
  setpluginprogramfolder(prog.c_str());
  ASSERT_TRUE(SetCurrentDirectoryA(prog.c_str()));
}

void RingoutHost::TearDown() {
  unloadplugins();
  SetCurrentDirectoryA(startcwd.c_str());
  setpluginprogramfolder(nullptr);
  std::error_code ignored;
  fs::remove_all(prog, ignored);
}

void RingoutHost::install(const std::string &folder, const char *ini) const {
  fs::create_directories(fs::path(prog) / folder);
  ASSERT_TRUE(CopyFileA(builtmodule().c_str(), (prog + "\\" + folder + "\\ringout.dll").c_str(), FALSE));
  if (ini) std::ofstream(fs::path(prog) / folder / "ringout.ini", std::ios::binary) << ini;
}

std::string RingoutHost::settings(const std::string &folder) const {
  std::stringstream all;
  all << std::ifstream(fs::path(prog) / folder / "ringout.ini", std::ios::binary).rdbuf();
  return all.str();
}

bool RingoutHost::running(int slot) {
  return std::atomic_ref<void *>(pluginslots[slot].windowthread).load() != nullptr;
}
