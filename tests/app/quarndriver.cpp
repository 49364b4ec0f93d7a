// quarndriver.cpp: starting roomcaster_quarn.exe and using it from outside.
#include "tests/app/quarndriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/app/hostshell.h"

#ifndef QUARN_DIST_DIR
#error "QUARN_DIST_DIR: the dist folder (unix path)"
#endif

std::string scratchfolder(const std::string &name) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("quarnapp-" + std::to_string(GetCurrentProcessId()) + "-" + name);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directory(folder, ignored);
  return folder.string();
}

bool writefile(const std::string &path, const std::string &text) {
  std::ofstream f(path, std::ios::binary);
  return static_cast<bool>(f << text);
}

std::string settingsline(const std::string &folder, int n) {
  const std::string text = readfile(folder + "\\roomcaster_quarn.ini");
  size_t at = 0;
  for (int i = 1; i < n && at != std::string::npos; ++i) at = text.find("\r\n", at) + 2;
  return text.substr(at, text.find("\r\n", at) - at);
}

static HWND findmainwindow(DWORD pid) {
  for (HWND h = 0; (h = FindWindowExA(nullptr, h, "GUIQUARN", "roomcaster_quarn"));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return 0;
}

QuarnRun startwithsettings(const std::string &name, const std::string &settings) {
  const std::string folder = scratchfolder(name);
  writefile(folder + "\\roomcaster_quarn.ini", settings);
  return startquarn(folder);
}

QuarnRun startquarn(const std::string &folder, const char *exe) {
  QuarnRun q;
  q.folder = folder;
  const std::string dist = windowspath(QUARN_DIST_DIR);
  const std::string program = folder + "\\roomcaster_quarn.exe";
  CopyFileA(exe ? exe : (dist + "\\roomcaster_quarn.exe").c_str(), program.c_str(), FALSE);
  std::string commandline = "\"" + program + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(program.c_str(), commandline.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    return q;
  CloseHandle(pi.hThread);
  q.process = pi.hProcess;
  waituntil([&] { return (q.win = findmainwindow(pi.dwProcessId)) != 0; }, 20000);
  // The devices open behind the window (500 ms each, and as long as the sound
  // server takes); the status box fills once the program is in its main loop,
  // where clicks and keys act.
  if (q.win)
    waituntil([&] { return !IsWindow(q.win) || windowtext(control(q, "win.msg")).rfind("freeout=", 0) == 0; }, 20000);
  return q;
}

// Ends a program still running (a test that failed half-way).
static void endprogram(HANDLE &process) {
  if (!process) return;
  TerminateProcess(process, 98);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
  process = 0;
}

QuarnRun &QuarnRun::operator=(QuarnRun &&other) noexcept {
  if (this != &other) {
    endprogram(process);
    folder = std::move(other.folder);
    process = std::exchange(other.process, HANDLE(0));
    win = std::exchange(other.win, HWND(0));
  }
  return *this;
}

QuarnRun::~QuarnRun() { endprogram(process); }

int waitquarn(QuarnRun &q, int timeoutms) {
  if (!q.process) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(q.process, timeoutms) != WAIT_OBJECT_0) {
    std::printf("the program did not end within %d ms; its threads:\n%s", timeoutms,
                threadstacks(GetProcessId(q.process)).c_str());
    TerminateProcess(q.process, 99);
    WaitForSingleObject(q.process, 5000);
  } else {
    GetExitCodeProcess(q.process, &code);
  }
  CloseHandle(q.process);
  q.process = 0;
  return static_cast<int>(code);
}

// Where each control sits in the client area (its left and top edge).
static const std::map<std::string, POINT> places = {
    {"win.quit", {10, 45}},      {"win.play", {55, 47}},     {"win.wavein", {10, 10}},
    {"win.buffersize", {256, 10}}, {"win.pan", {341, 10}},   {"win.waveout", {10, 106}},
    {"win.gain", {256, 106}},    {"win.wet", {344, 111}},    {"win.vuout", {340, 75}},
    {"win.msg", {100, 45}},      {"win.plugins", {27, 75}},  {"win.tplug", {10, 79}},
    {"win.testloop", {256, 75}}, {"win.color", {340, 45}},   {"win.save", {256, 45}},
    {"win.load", {296, 45}}};

static RECT clientrect(const QuarnRun &q, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, q.win, reinterpret_cast<POINT *>(&r), 2);
  return r;
}

HWND control(const QuarnRun &q, const std::string &name) {
  const auto place = places.find(name);
  if (place == places.end() || !q.win) return 0;
  for (HWND h = GetWindow(q.win, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    const RECT r = clientrect(q, h);
    if (r.left == place->second.x && r.top == place->second.y) return h;
  }
  return 0;
}

// Where every thread of a process stands, as Wine's debugger tells it.
std::string threadstacks(DWORD pid) {
  char id[16];
  std::snprintf(id, sizeof id, "%04lx", static_cast<unsigned long>(pid));
  const std::string process = id;
  return hostshell("printf 'attach 0x" + process + "\\nbt all\\ndetach\\nquit\\n' | wine winedbg 2>&1 | "
                   "awk '/^Backtracing for thread/ {keep = index($0, \"in process " + process + " \") > 0} keep'",
                   60000)
      .output;
}

static std::string windowstacks(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return threadstacks(pid);
}

// A question to a control of the program, answered within 5 s or not at all: a
// program whose window thread hangs fails the test at once, and says where its
// threads stand.
static LRESULT ask(HWND h, UINT message, WPARAM w, LPARAM l, bool wide = false) {
  DWORD_PTR answer = 0;
  const LRESULT ok = wide ? SendMessageTimeoutW(h, message, w, l, SMTO_NORMAL, 5000, &answer)
                          : SendMessageTimeoutA(h, message, w, l, SMTO_NORMAL, 5000, &answer);
  if (!ok && IsWindow(h))
    ADD_FAILURE() << "the program's window thread did not answer within 5 s; its threads:\n" << windowstacks(h);
  return ok ? static_cast<LRESULT>(answer) : -1;
}

std::string windowtext(HWND h) {
  char text[4096] = {};
  ask(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::vector<std::string> comboentries(HWND combo) {
  std::vector<std::string> entries;
  const LRESULT n = ask(combo, CB_GETCOUNT, 0, 0);
  // The wide form: Wine hands the narrow one back unconverted across processes.
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t wide[256] = {};
    char text[512] = {};
    ask(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide), true);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    entries.push_back(text);
  }
  return entries;
}

int comboselection(HWND combo) { return static_cast<int>(ask(combo, CB_GETCURSEL, 0, 0)) + 1; }

void choose(const QuarnRun &q, const std::string &name, int position) {
  HWND combo = control(q, name);
  ask(combo, CB_SETCURSEL, position - 1, 0);
  const WPARAM command = MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE);
  SendMessageCallbackA(q.win, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo), nullptr, 0);
}

void click(const QuarnRun &q, const std::string &name) {
  SendMessageCallbackA(control(q, name), BM_CLICK, 0, 0, nullptr, 0);
}

bool checked(const QuarnRun &q, const std::string &name) {
  return ask(control(q, name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void closebox(const QuarnRun &q) { PostMessageA(q.win, WM_SYSCOMMAND, SC_CLOSE, 0); }

void presskey(const QuarnRun &q, WORD key, int holdms) {
  SetForegroundWindow(q.win);
  Sleep(100);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &in[0], sizeof(INPUT));
  Sleep(holdms);
  SendInput(1, &in[1], sizeof(INPUT));
}

std::string answerbox(const std::string &title, int answer, int timeoutms) {
  HWND box = 0;
  waituntil([&] { return (box = FindWindowA("#32770", title.c_str())) != 0 && IsWindowVisible(box); }, timeoutms);
  if (!box) return "";
  char text[4096] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  if (answer) {
    PostMessageA(box, WM_COMMAND, answer, 0);
    waituntil([&] { return !IsWindow(box); }, 5000);
  }
  return text;
}

unsigned clientpixel(const QuarnRun &q, int x, int y) {
  POINT p{x, y};
  ClientToScreen(q.win, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

int capturedsamples(const QuarnRun &q) {
  const std::string text = windowtext(control(q, "win.msg"));
  const size_t first = text.find('/'), second = text.find('/', first + 1);
  if (text.rfind("freeout=", 0) != 0 || first == std::string::npos || second == std::string::npos) return -1;
  return std::atoi(text.substr(first + 1, second - first - 1).c_str());
}
