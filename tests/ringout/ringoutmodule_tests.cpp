// The real ringout.dll, loaded as the host loads it: every export under its
// plain name, ringout.ini read from beside each copy (not from the current
// directory), separate state per copy, and the further exports.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "pluginhost/plugincontract.h"

namespace {

template <typename T>
T bind(HMODULE module, const char *name) {
  return reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

float tone(int call) { return static_cast<float>(8000 * std::sin(call * 0.031) + 3000 * std::sin(call * 0.0071)); }

// A program folder in the temp folder; each copy of the module gets a subfolder.
std::string root() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "ringoutmodule_" + std::to_string(GetCurrentProcessId());
}

HMODULE loadcopy(const std::string &folder, const char *ini) {
  CreateDirectoryA(root().c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string built = RINGOUT_DLL;  // a Unix path when cross-compiled: drive Z: under Wine
  if (built[0] == '/') built = "Z:" + built;
  const std::string dll = folder + "\\ringout.dll";
  EXPECT_TRUE(CopyFileA(built.c_str(), dll.c_str(), FALSE)) << built;
  if (ini != nullptr) {
    std::FILE *f = std::fopen((folder + "\\ringout.ini").c_str(), "wb");
    std::fputs(ini, f);
    std::fclose(f);
  }
  return LoadLibraryA(dll.c_str());
}

TEST(RingoutModule, ExportsEachCopyReadingTheSettingsBesideItself) {
  const char *off = " 99\r\n 10\r\n 10\r\n 0\r\n";  // processing off
  HMODULE a = loadcopy(root() + "\\plugin", nullptr);
  HMODULE b = loadcopy(root() + "\\plugin2", off);
  HMODULE c = loadcopy(root() + "\\plugin3", nullptr);
  loadcopy(root() + "\\elsewhere", off);  // a decoy in the current directory
  ASSERT_TRUE(a && b && c);
  ASSERT_TRUE(a != b && b != c);
  for (const char *name : {"plugininit", "pluginmain", "pluginproc", "pluginclose", "startpluginmain",
                           "closepluginmain", "mypluginproc"})
    EXPECT_NE(GetProcAddress(a, name), nullptr) << name;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA((root() + "\\elsewhere").c_str());
  EXPECT_EQ(bind<plugininit_fn>(a, "plugininit")(), 1);  // nothing beside copy a: defaults, on
  EXPECT_EQ(bind<plugininit_fn>(b, "plugininit")(), 0);
  EXPECT_EQ(bind<plugininit_fn>(c, "plugininit")(), 1);
  SetCurrentDirectoryA(previous);

  const auto aproc = bind<pluginproc_fn>(a, "pluginproc"), bproc = bind<pluginproc_fn>(b, "pluginproc");
  const auto cmyproc = bind<mypluginproc_fn>(c, "mypluginproc");
  bool achanged = false;
  for (int call = 0; call < 3 * 17600; call++) {
    float x = tone(call);
    const float kept = x, fromc = cmyproc(&x);
    ASSERT_EQ(x, kept);
    ASSERT_EQ(bproc(x), x) << call;
    const float froma = aproc(x);
    ASSERT_EQ(froma, fromc) << call;  // same settings, own state: the same sound
    achanged = achanged || froma != x;
  }
  EXPECT_TRUE(achanged);
  EXPECT_EQ(cmyproc(nullptr), 0.0f);

  // The module's own window thread: started, and closed again, more than once.
  for (int round = 0; round < 3; round++) {
    EXPECT_EQ(bind<startpluginmain_fn>(a, "startpluginmain")(), 0);
    EXPECT_EQ(bind<closepluginmain_fn>(a, "closepluginmain")(), 0);
  }
  EXPECT_EQ(bind<pluginclose_fn>(a, "pluginclose")(), 0);
  for (HMODULE m : {a, b, c}) FreeLibrary(m);
  for (const char *sub : {"\\plugin", "\\plugin2", "\\plugin3", "\\elsewhere"}) {
    DeleteFileA((root() + sub + "\\ringout.dll").c_str());
    DeleteFileA((root() + sub + "\\ringout.ini").c_str());
    RemoveDirectoryA((root() + sub).c_str());
  }
  RemoveDirectoryA(root().c_str());
}

}  // namespace
