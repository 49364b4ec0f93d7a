// The real ringout.dll, loaded as the host loads it: every export under its
// plain name, ringout.ini read from beside each copy (not from the current
// directory), separate state per copy, and the further exports.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "pluginhost/plugincontract.h"

namespace {

namespace fs = std::filesystem;

template <typename T>
T bind(HMODULE module, const char *name) {
  T f = reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(module, name)));
  EXPECT_NE(f, nullptr) << name;
  return f;
}

// A program folder in the temp folder; each copy of the module gets a subfolder.
const fs::path root = fs::temp_directory_path() / ("ringoutmodule_" + std::to_string(GetCurrentProcessId()));

HMODULE loadcopy(const char *folder, const char *ini) {
  fs::create_directories(root / folder);
  std::string built = RINGOUT_DLL;  // a Unix path when cross-compiled: drive Z: under Wine
  if (built[0] == '/') built = "Z:" + built;
  fs::copy_file(built, root / folder / "ringout.dll", fs::copy_options::overwrite_existing);
  if (ini != nullptr) std::ofstream(root / folder / "ringout.ini", std::ios::binary) << ini;
  return LoadLibraryA((root / folder / "ringout.dll").string().c_str());
}

TEST(RingoutModule, ExportsEachCopyReadingTheSettingsBesideItself) {
  const char *off = " 99\r\n 10\r\n 10\r\n 0\r\n";  // processing off
  HMODULE a = loadcopy("plugin", nullptr), b = loadcopy("plugin2", off), c = loadcopy("plugin3", nullptr);
  loadcopy("elsewhere", off);  // a decoy in the current directory
  ASSERT_TRUE(a && b && c && a != b && b != c);
  const fs::path previous = fs::current_path();
  fs::current_path(root / "elsewhere");
  EXPECT_EQ(bind<plugininit_fn>(a, "plugininit")(), 1);  // nothing beside copy a: defaults, on
  EXPECT_EQ(bind<plugininit_fn>(b, "plugininit")(), 0);
  EXPECT_EQ(bind<plugininit_fn>(c, "plugininit")(), 1);
  fs::current_path(previous);

  const auto aproc = bind<pluginproc_fn>(a, "pluginproc"), bproc = bind<pluginproc_fn>(b, "pluginproc");
  const auto cmyproc = bind<mypluginproc_fn>(c, "mypluginproc");
  bool achanged = false;
  for (int call = 0; call < 3 * 17600; call++) {
    float x = static_cast<float>(8000 * std::sin(call * 0.031) + 3000 * std::sin(call * 0.0071));
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
  bind<pluginmain_fn>(a, "pluginmain");  // bound only: running it opens the window
  EXPECT_EQ(bind<pluginclose_fn>(a, "pluginclose")(), 0);
  for (HMODULE m : {a, b, c}) FreeLibrary(m);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
