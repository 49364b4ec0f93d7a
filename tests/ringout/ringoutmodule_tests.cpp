// The real ringout.dll, loaded as a host loads it: its exports under their
// plain names, ringout.ini read from beside the module (not from the current
// directory), separate state per copy, and the extra exports.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "pluginhost/plugincontract.h"

namespace {

// The build passes a Unix path when cross-compiling; under Wine that is drive Z:.
std::string builtdll() {
  std::string path = RINGOUT_DLL;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  return path;
}

struct Module {
  HMODULE handle = nullptr;
  plugininit_fn init = nullptr;
  pluginmain_fn main = nullptr;
  pluginproc_fn proc = nullptr;
  pluginclose_fn close = nullptr;
  startpluginmain_fn start = nullptr;
  closepluginmain_fn stop = nullptr;
  mypluginproc_fn myproc = nullptr;
};

template <typename T>
T bind(HMODULE module, const char *name) {
  return reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

class RingoutModule : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    root = std::string(temp) + "ringoutmodule_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root.c_str(), nullptr);
    GetCurrentDirectoryA(MAX_PATH, previous);
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous);
    for (Module &m : modules)
      if (m.handle != nullptr) FreeLibrary(m.handle);
    for (const std::string &f : files) DeleteFileA(f.c_str());
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(root.c_str());
  }
  std::string folder(const char *name) {
    const std::string path = root + "\\" + name;
    CreateDirectoryA(path.c_str(), nullptr);
    folders.push_back(path);
    return path;
  }
  void writefile(const std::string &path, const char *text) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fputs(text, f);
    std::fclose(f);
    files.push_back(path);
  }
  // Copies the built module into the folder and loads it there.
  Module load(const std::string &where) {
    const std::string path = where + "\\ringout.dll";
    EXPECT_TRUE(CopyFileA(builtdll().c_str(), path.c_str(), FALSE)) << builtdll() << " error " << GetLastError();
    files.push_back(path);
    Module m;
    m.handle = LoadLibraryA(path.c_str());
    EXPECT_NE(m.handle, nullptr) << path << " error " << GetLastError();
    if (m.handle == nullptr) return m;
    m.init = bind<plugininit_fn>(m.handle, "plugininit");
    m.main = bind<pluginmain_fn>(m.handle, "pluginmain");
    m.proc = bind<pluginproc_fn>(m.handle, "pluginproc");
    m.close = bind<pluginclose_fn>(m.handle, "pluginclose");
    m.start = bind<startpluginmain_fn>(m.handle, "startpluginmain");
    m.stop = bind<closepluginmain_fn>(m.handle, "closepluginmain");
    m.myproc = bind<mypluginproc_fn>(m.handle, "mypluginproc");
    modules.push_back(m);
    return m;
  }
  static float tone(int call) { return static_cast<float>(8000 * std::sin(call * 0.031) + 3000 * std::sin(call * 0.0071)); }

  std::string root;
  char previous[MAX_PATH];
  std::vector<std::string> folders, files;
  std::vector<Module> modules;
};

TEST_F(RingoutModule, ExportsEveryEntryUnderItsPlainName) {
  const Module m = load(folder("plugin"));
  ASSERT_NE(m.handle, nullptr);
  EXPECT_NE(m.init, nullptr);
  EXPECT_NE(m.main, nullptr);
  EXPECT_NE(m.proc, nullptr);
  EXPECT_NE(m.close, nullptr);
  EXPECT_NE(m.start, nullptr);
  EXPECT_NE(m.stop, nullptr);
  EXPECT_NE(m.myproc, nullptr);
}

TEST_F(RingoutModule, EachCopyReadsTheSettingsBesideItselfNotInTheCurrentDirectory) {
  const std::string one = folder("plugin");
  const std::string two = folder("plugin2");
  const std::string elsewhere = folder("elsewhere");
  writefile(two + "\\ringout.ini", " 99\r\n 10\r\n 10\r\n 0\r\n");       // processing off
  writefile(elsewhere + "\\ringout.ini", " 99\r\n 10\r\n 10\r\n 0\r\n");  // a decoy
  const Module a = load(one);
  const Module b = load(two);
  ASSERT_NE(a.handle, nullptr);
  ASSERT_NE(b.handle, nullptr);
  ASSERT_NE(a.handle, b.handle);
  ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.c_str()));
  EXPECT_EQ(a.init(), 1);  // nothing beside copy one: defaults, processing on
  EXPECT_EQ(b.init(), 0);

  bool achanged = false;
  for (int call = 0; call < 3 * 17600; call++) {
    const float x = tone(call);
    ASSERT_EQ(b.proc(x), x) << call;
    if (a.proc(x) != x) achanged = true;
  }
  EXPECT_TRUE(achanged);
}

TEST_F(RingoutModule, ThePointerEntryProcessesLikeTheValueEntry) {
  const Module a = load(folder("plugin"));
  const Module b = load(folder("plugin2"));
  ASSERT_NE(a.handle, nullptr);
  ASSERT_NE(b.handle, nullptr);
  a.init();
  b.init();
  for (int call = 0; call < 40000; call++) {
    float x = tone(call);
    const float kept = x;
    ASSERT_EQ(a.myproc(&x), b.proc(kept)) << call;
    ASSERT_EQ(x, kept);
  }
  EXPECT_EQ(a.myproc(nullptr), 0.0f);
}

TEST_F(RingoutModule, TheOwnWindowThreadStartsAndIsClosedAgain) {
  const Module m = load(folder("plugin"));
  ASSERT_NE(m.handle, nullptr);
  m.init();
  for (int round = 0; round < 3; round++) {
    EXPECT_EQ(m.start(), 0);
    EXPECT_EQ(m.stop(), 0);  // returns once its window thread has ended
  }
  EXPECT_EQ(m.main(), 0);
  EXPECT_EQ(m.close(), 0);
}

}  // namespace
