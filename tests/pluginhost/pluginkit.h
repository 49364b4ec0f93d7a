// pluginkit.h: what the plug-in host tests share: fixture modules, throw-away
// program folders, and reaching a loaded module's extra exports.
#pragma once
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pluginhost/pluginhost.h"
#include "tests/pluginhost/modulekit.h"  // waitfor

namespace fs = std::filesystem;

// The built fixture module `name` (identity, gain, noclose, nonfinite,
// windowloop, identity32).
std::string fixturemodule(const char *name);

std::string readfile(const std::string &path);
// Full path, lower case, no trailing backslash: for comparing two names of one
// folder ("." names the current directory).
std::string samepathkey(const std::string &path);

// The six slots at a glance, slot 1 first: 'b' all four entry points bound,
// 'u' loaded but unbound, '.' empty, '?' anything else (never valid).
std::string slotstates();

template <typename fn>
fn moduleexport(void *module, const char *name) {
  return reinterpret_cast<fn>(reinterpret_cast<void *>(GetProcAddress((HMODULE)module, name)));
}
// A fixture counter ("fixturecalls" ...) of a module, or of the one in `slot`.
int modulecounter(void *module, const char *name);
inline int slotcounter(int slot, const char *name) { return modulecounter(pluginslots[slot].module, name); }

// Every host test lays out its own program folder `prog` (tree\prog) in a fresh
// temporary folder, which is both the program's folder and the current
// directory unless the test moves the latter; TearDown unloads whatever was
// loaded, restores both and removes the folder with everything in it.
class HostTest : public ::testing::Test {
 protected:
  struct {
    std::string path;
    std::string at(const std::string &relative) const { return path + "\\" + relative; }
  } tree;
  std::string prog;      // the program's folder for this test
  std::string startcwd;  // the current directory before the test

  void SetUp() override;
  void TearDown() override;
  void enter(const std::string &folder) { ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder; }
  void makefolder(const std::string &relative) const;  // with its parents
  void copymodule(const char *fixture, const std::string &relative) const;
  void writefile(const std::string &relative, const std::string &bytes) const;
  // roomcaster_render ARGS --plugin lib\NAME.dll ... in.wav out.wav, run in this
  // process as the renderer runs it: its exit status (-1: the command line was
  // refused), the output in `out` (empty when none was written). The modules
  // stay loaded until the test unloads them.
  int render(std::vector<std::string> args, const std::vector<std::string> &plugins, std::vector<int16_t> &out) const;
};
