// modulekit.h: what the tests of a real plug-in module share (ringout's,
// howlcut's and the host's own): a poll with a guard against hanging, copies
// of the built module in a throw-away folder, its exports bound by name, its
// window driven from this thread as a user would, and a program folder of its
// own per test for the real host to load it from.
//
//   HMODULE m = modulekit::loadcopy(root, RINGOUT_DLL, "ringout", "plugin3", ini);
//   auto init = modulekit::bind<plugininit_fn>(m, "plugininit");
//   class RingoutHost : public ModuleFolderTest { ... ModuleFolderTest("ringout", RINGOUT_DLL) ... };
//   EXPECT_TRUE(waitfor([] { return !running(3); }));
//
// The fixture uses the plug-in host (link quarn_pluginhost); the rest needs
// nothing but Windows and GoogleTest.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "pluginhost/pluginhost.h"

// Polls until `done` holds, at most `ms` milliseconds; false if it never did.
// Only a guard against hanging: no test asserts how long anything takes.
// Counted on the clock: one look at a window may itself take 100 ms.
template <typename cond>
bool waitfor(cond done, int ms = 20000) {
  for (const ULONGLONG start = GetTickCount64(); !done(); Sleep(10))
    if (GetTickCount64() - start >= static_cast<ULONGLONG>(ms)) return done();
  return true;
}

namespace modulekit {

// CMake gives the built module's Unix path, reached through drive Z: under Wine.
inline std::string builtmodule(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  return path;
}

template <typename T>
T bind(HMODULE module, const char *name) {
  T f = reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(module, name)));
  EXPECT_NE(f, nullptr) << name;
  return f;
}

// A folder in the temp folder named prefix + process id + tick count, new for
// each run: Wine hands out the same process ids run after run. A run's own
// copies stay behind (Wine will not remove a module file this process has
// loaded), so each run first removes what earlier runs left.
inline std::filesystem::path freshroot(const std::string &prefix) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  for (const auto &left : fs::directory_iterator(fs::temp_directory_path(), ignored))
    if (left.path().filename().string().rfind(prefix, 0) == 0) fs::remove_all(left.path(), ignored);
  return fs::temp_directory_path() /
         (prefix + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount64()));
}

// The built module copied to root\folder\NAME.dll, with NAME.ini beside it when
// given, and loaded.
inline HMODULE loadcopy(const std::filesystem::path &root, const std::string &built, const std::string &name,
                        const char *folder, const char *ini) {
  namespace fs = std::filesystem;
  fs::create_directories(root / folder);
  fs::copy_file(builtmodule(built), root / folder / (name + ".dll"), fs::copy_options::overwrite_existing);
  if (ini != nullptr) std::ofstream(root / folder / (name + ".ini"), std::ios::binary) << ini;
  return LoadLibraryA((root / folder / (name + ".dll")).string().c_str());
}

// A message to a window's thread, answered once it next pumps (a plug-in's
// window every 100 ms); the callbacks it starts have finished when this returns.
inline LRESULT sendto(HWND target, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) {
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutA(target, msg, wparam, lparam, SMTO_NORMAL, 20000, &result), 0) << msg;
  return static_cast<LRESULT>(result);
}

// The control (a child of the window) whose top-left corner lies at (x, y) in
// the window's client area, or null.
inline HWND controlat(HWND window, int x, int y) {
  for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT *>(&r), 2);
    if (r.left == x && r.top == y) return h;
  }
  return nullptr;
}

// Escape while the window has the keyboard, held long enough for its 100 ms loop.
inline void pressescape(HWND window) {
  EXPECT_TRUE(SetForegroundWindow(window));
  INPUT key = {};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = VK_ESCAPE;
  SendInput(1, &key, sizeof key);
  Sleep(400);
  key.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &key, sizeof key);
}

}  // namespace modulekit

// A program folder of its own per test, the current directory while it runs,
// for copies of the built module NAME.dll; TearDown unloads the plug-ins
// (closing any window) and removes the folder.
class ModuleFolderTest : public ::testing::Test {
 protected:
  ModuleFolderTest(const char *name, const char *built) : name(name), built(built) {}
  std::string prog;  // the program's folder

  void SetUp() override {
    static std::atomic<int> made;
    prog = (std::filesystem::temp_directory_path() /
            (name + "window_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made)))
               .string();
    std::filesystem::remove_all(prog);
    std::filesystem::create_directories(prog);
    startcwd = std::filesystem::current_path().string();
    setpluginprogramfolder(prog.c_str());
    ASSERT_TRUE(SetCurrentDirectoryA(prog.c_str()));
  }
  void TearDown() override {
    unloadplugins();
    SetCurrentDirectoryA(startcwd.c_str());
    setpluginprogramfolder(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(prog, ignored);
  }
  // A copy of the built module in prog\folder, with NAME.ini when given.
  void install(const std::string &folder, const char *ini = nullptr) const {
    std::filesystem::create_directories(std::filesystem::path(prog) / folder);
    ASSERT_TRUE(CopyFileA(modulekit::builtmodule(built).c_str(), (prog + "\\" + folder + "\\" + name + ".dll").c_str(),
                          FALSE));
    if (ini) std::ofstream(std::filesystem::path(prog) / folder / (name + ".ini"), std::ios::binary) << ini;
  }
  // prog\folder\NAME.ini, "" if none.
  std::string settings(const std::string &folder) const {
    std::stringstream all;
    all << std::ifstream(std::filesystem::path(prog) / folder / (name + ".ini"), std::ios::binary).rdbuf();
    return all.str();
  }
  // True while the slot's window thread runs.
  static bool running(int slot) { return std::atomic_ref<void *>(pluginslots[slot].windowthread).load() != nullptr; }
  // Calls the slot's pluginproc as the audio thread would.
  static float proc(int slot, float x) { return pluginslots[slot].pluginproc(x); }

 private:
  std::string name;   // "ringout": ringout.dll, ringout.ini
  std::string built;  // the built module's path
  std::string startcwd;
};
