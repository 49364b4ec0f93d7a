// The real ringout.dll, loaded as the host loads it: every export under its
// plain name, ringout.ini read from beside each copy (not from the current
// directory), separate state per copy, the further exports, and a close
// request that comes before the window's loop.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "pluginhost/plugincontract.h"
#include "tests/pluginhost/modulekit.h"

namespace {

namespace fs = std::filesystem;

using modulekit::bind;

// A program folder new for each run (modulekit.h says why).
const fs::path root = modulekit::freshroot("ringoutmodule_");

HMODULE loadcopy(const char *folder, const char *ini) {
  return modulekit::loadcopy(root, RINGOUT_DLL, "ringout", folder, ini);
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

// A close request made before the window's loop has begun (the host's close may
// come before the window thread has even run) ends that run: the window opens,
// writes ringout.ini and goes, instead of waiting for a request already made.
TEST(RingoutModule, ACloseRequestBeforeTheWindowLoopEndsTheRun) {
  HMODULE m = loadcopy("early", nullptr);
  ASSERT_TRUE(m);
  EXPECT_EQ(bind<plugininit_fn>(m, "plugininit")(), 1);
  const auto close = bind<pluginclose_fn>(m, "pluginclose");
  EXPECT_EQ(close(), 0);
  HANDLE window = CreateThread(nullptr, 0, [](void *main) -> DWORD { return reinterpret_cast<pluginmain_fn>(main)(); },
                               reinterpret_cast<void *>(bind<pluginmain_fn>(m, "pluginmain")), 0, nullptr);
  const bool ended = WaitForSingleObject(window, 10000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ended) << "the window waits for a close request already made";
  if (!ended) close(), WaitForSingleObject(window, INFINITE);
  CloseHandle(window);
  EXPECT_TRUE(fs::exists(root / "early" / "ringout.ini"));
  FreeLibrary(m);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
