// The real howlcut.dll, loaded as the host loads it: the four exports under
// their plain names, howlcut.ini read from beside each copy (not from the
// current directory), pluginproc the suppressor itself, sample for sample,
// and a close request that comes before the window's loop.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "howlcut/howlcutdsp.h"
#include "howlcut/howlcutstate.h"
#include "tests/howlcut/howlroom.h"
#include "pluginhost/plugincontract.h"
#include "tests/pluginhost/modulekit.h"

namespace {

namespace fs = std::filesystem;

using modulekit::bind;

// A program folder new for each run (modulekit.h says why).
const fs::path root = modulekit::freshroot("howlcutmodule_");

HMODULE loadcopy(const char *folder, const char *ini) {
  return modulekit::loadcopy(root, HOWLCUT_DLL, "howlcut", folder, ini);
}

HowlState reference;  // the suppressor run here, beside the module's own

TEST(HowlcutModule, EachCopyReadsTheSettingsBesideItselfAndIsTheSuppressor) {
  HMODULE on = loadcopy("plugin2", nullptr), off = loadcopy("plugin5", " 0\r\n 2\r\n");
  loadcopy("elsewhere", " 0\r\n");  // a decoy in the current directory
  ASSERT_TRUE(on && off && on != off);
  const fs::path previous = fs::current_path();
  fs::current_path(root / "elsewhere");
  EXPECT_EQ(bind<plugininit_fn>(on, "plugininit")(), 1);  // nothing beside it: defaults, on
  EXPECT_EQ(bind<plugininit_fn>(off, "plugininit")(), 0);
  fs::current_path(previous);
  bind<pluginmain_fn>(on, "pluginmain");  // bound only: running it opens the window
  bind<pluginclose_fn>(on, "pluginclose");

  // The copy without a file sounds as the suppressor at its defaults, bit for
  // bit; the one switched off by its file passes every sample untouched.
  const auto onproc = bind<pluginproc_fn>(on, "pluginproc"), offproc = bind<pluginproc_fn>(off, "pluginproc");
  static HowlParams params;
  static HowlDisplay display;
  howlstart(reference);
  bool changed = false;
  for (long n = 0; n < 2 * 44100 * 8; n++) {
    const float x = howlingroom(n), y = onproc(x);
    ASSERT_EQ(y, howlproc(reference, params, display, x)) << n;
    ASSERT_EQ(offproc(x), x) << n;
    changed = changed || y != x;
  }
  EXPECT_TRUE(changed) << "8 s of a growing howl went through untouched";
  for (HMODULE m : {on, off}) FreeLibrary(m);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

// The host may ask a window to close before its thread has even begun: that
// run opens, writes howlcut.ini and ends instead of waiting for a request
// already made.
TEST(HowlcutModule, ACloseRequestBeforeTheWindowLoopEndsTheRun) {
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
  std::ifstream written(root / "early" / "howlcut.ini", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, " 1\r\n 1\r\n 430\r\n 10\r\n");
  written.close();
  FreeLibrary(m);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
