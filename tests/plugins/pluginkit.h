// pluginkit.h: what the plug-in host tests share: fixture modules, throw-away
// program folders, and reaching a loaded module's extra exports.
#pragma once
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "pluginhost/pluginhost.h"

// A path the running Windows program can open: build paths come from CMake as
// Unix paths, which under Wine only resolve through drive Z:.
std::string hostpath(const char *path);

// The built fixture module `name` (identity, gain, noclose, nonfinite, cwdprobe,
// windowloop, identity32).
std::string fixturemodule(const char *name);

// A fresh folder under the temporary folder, removed with everything in it.
struct TempFolder {
  std::string path;
  TempFolder();
  ~TempFolder();
  std::string at(const std::string &relative) const;   // path + "\" + relative
  void makefolder(const std::string &relative) const;  // with its parents
  void copymodule(const char *fixture, const std::string &relative) const;
  void writefile(const std::string &relative, const std::string &bytes) const;
};

std::string readfile(const std::string &path);
bool fileexists(const std::string &path);
std::string currentdirectory();
// Full path, backslashes, lower case: for comparing two names of one folder.
std::string samepathkey(const std::string &path);

template <typename fn>
fn moduleexport(void *module, const char *name) {
  return reinterpret_cast<fn>(reinterpret_cast<void *>(GetProcAddress((HMODULE)module, name)));
}

// A fixture counter ("fixturecalls" ...) of the module loaded into `slot`.
int slotcounter(int slot, const char *name);

// Polls until `done` holds, at most `ms` milliseconds; false if it never did.
// Only a guard against hanging: no test asserts how long anything takes.
template <typename cond>
bool waitfor(cond done, int ms = 20000) {
  for (int waited = 0; !done(); waited += 10) {
    if (waited >= ms) return false;
    Sleep(10);
  }
  return true;
}

// Every host test lays out its own program folder `prog` (tree\prog), which is
// both the program's folder and the current directory unless the test moves
// the latter; TearDown unloads whatever was loaded and restores both.
class HostTest : public ::testing::Test {
 protected:
  TempFolder tree;
  std::string prog;      // the program's folder for this test
  std::string startcwd;  // the current directory before the test

  void SetUp() override;
  void TearDown() override;
  void enter(const std::string &folder);  // make `folder` the current directory
};
