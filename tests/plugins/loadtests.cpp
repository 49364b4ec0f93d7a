// loadtests.cpp: which module each slot takes, what it binds, and where
// plugininit runs. Real fixture modules, loaded under Wine.
#include "pluginkit.h"

namespace {

bool bound(int slot) {
  const PluginSlot &s = pluginslots[slot];
  return s.module && s.plugininit && s.pluginmain && s.pluginproc && s.pluginclose;
}

bool empty(int slot) {
  const PluginSlot &s = pluginslots[slot];
  return !s.module && !s.plugininit && !s.pluginmain && !s.pluginproc && !s.pluginclose;
}

// Loaded but never to be called: the all-or-nothing rule.
bool loadedunbound(int slot) {
  const PluginSlot &s = pluginslots[slot];
  return s.module && !s.plugininit && !s.pluginmain && !s.pluginproc && !s.pluginclose;
}

// A file that starts like a 32-bit Windows DLL (PE32, i386) but has no content.
std::string pe32header() {
  std::string b(0x200, '\0');
  b[0] = 'M', b[1] = 'Z';
  b[0x3c] = 0x40;
  b.replace(0x40, 4, std::string("PE\0\0", 4));
  b[0x44] = 0x4c, b[0x45] = 0x01;            // machine: i386
  b[0x54] = (char)0xe0;                      // optional header size
  b[0x56] = 0x02, b[0x57] = 0x21;            // executable, 32-bit, DLL
  b[0x58] = 0x0b, b[0x59] = 0x01;            // optional header magic: PE32
  return b;
}

}  // namespace

using LoadSlots = HostTest;

TEST_F(LoadSlots, EachSlotTakesItsOwnFolderAndEmptyFoldersStayEmpty) {
  tree.copymodule("gain", "prog\\plugin\\gain.dll");
  tree.makefolder("prog\\plugin2");  // present but empty
  tree.copymodule("gain", "prog\\plugin3\\gain.dll");
  loadplugins();

  EXPECT_TRUE(bound(1));
  EXPECT_TRUE(empty(2));
  EXPECT_TRUE(bound(3));
  for (int slot = 4; slot <= 6; ++slot) EXPECT_TRUE(empty(slot)) << slot;

  // Two copies of one module file are two modules with their own state.
  EXPECT_NE(pluginslots[1].module, pluginslots[3].module);
  EXPECT_EQ(pluginslots[1].pluginproc(1000.0f), 500.0f);
  EXPECT_EQ(pluginslots[1].pluginproc(-3.0f), -1.5f);
  EXPECT_EQ(pluginslots[3].pluginproc(8.0f), 4.0f);
  EXPECT_EQ(slotcounter(1, "fixturecalls"), 2);
  EXPECT_EQ(slotcounter(3, "fixturecalls"), 1);
}

TEST_F(LoadSlots, OnlyTheFirstModuleOfAFolderIsTakenSkippingFoldersHiddenAndSystemEntries) {
  // Made in an order unlike the names' order, so the creation order cannot decide.
  tree.copymodule("identity", "prog\\plugin\\b_identity.dll");
  tree.copymodule("gain", "prog\\plugin\\a_gain.dll");
  tree.makefolder("prog\\plugin\\0folder.dll");
  tree.copymodule("identity", "prog\\plugin\\0hidden.dll");
  tree.copymodule("identity", "prog\\plugin\\0system.dll");
  tree.copymodule("identity", "prog\\plugin\\0old.dll.bak");  // Windows' short name would match *.dll
  ASSERT_TRUE(SetFileAttributesA(tree.at("prog\\plugin\\0hidden.dll").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(tree.at("prog\\plugin\\0system.dll").c_str(), FILE_ATTRIBUTE_SYSTEM));
  if (!(GetFileAttributesA(tree.at("prog\\plugin\\0hidden.dll").c_str()) & FILE_ATTRIBUTE_HIDDEN) ||
      !(GetFileAttributesA(tree.at("prog\\plugin\\0system.dll").c_str()) & FILE_ATTRIBUTE_SYSTEM))
    GTEST_SKIP() << "this file system keeps no hidden or system marks";
  loadplugins();

  ASSERT_TRUE(bound(1));
  EXPECT_EQ(pluginslots[1].pluginproc(1000.0f), 500.0f) << "the gain module a_gain.dll is first";
  for (const char *other : {"b_identity.dll", "0hidden.dll", "0system.dll", "0old.dll.bak"})
    EXPECT_EQ(GetModuleHandleA(tree.at(std::string("prog\\plugin\\") + other).c_str()), nullptr) << other;
}

TEST_F(LoadSlots, AModuleMissingAnExportStaysLoadedUnusedUntilExit) {
  tree.copymodule("noclose", "prog\\plugin\\noclose.dll");
  tree.copymodule("gain", "prog\\plugin2\\gain.dll");
  loadplugins();

  EXPECT_TRUE(loadedunbound(1));
  EXPECT_EQ(slotcounter(1, "fixtureinits"), 0) << "plugininit of an unusable module must not run";
  EXPECT_TRUE(bound(2)) << "the other slots still work";
  EXPECT_EQ(pluginslots[2].pluginproc(2.0f), 1.0f);
  std::string path = tree.at("prog\\plugin\\noclose.dll");
  EXPECT_NE(GetModuleHandleA(path.c_str()), nullptr);

  unloadplugins();
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "freed at exit like any other module";
  for (int slot = 1; slot <= 6; ++slot) EXPECT_TRUE(empty(slot)) << slot;
}

TEST_F(LoadSlots, FilesThatAreNoUsableModuleLeaveTheirSlotEmpty) {
  tree.writefile("prog\\plugin\\notes.dll", "these are not the instructions you are looking for\r\n");
  tree.writefile("prog\\plugin2\\nothing.dll", "");
  if (fileexists(fixturemodule("identity32")))
    tree.copymodule("identity32", "prog\\plugin3\\old32.dll");
  else
    tree.writefile("prog\\plugin3\\old32.dll", pe32header());
  tree.writefile("prog\\plugin4\\cut.dll", readfile(fixturemodule("identity")).substr(0, 700));
  tree.copymodule("identity", "prog\\plugin5\\identity.dll");
  loadplugins();

  for (int slot = 1; slot <= 4; ++slot) EXPECT_TRUE(empty(slot)) << slot;
  EXPECT_TRUE(bound(5));
  EXPECT_TRUE(empty(6));
}

TEST_F(LoadSlots, TheSearchLooksInTheCurrentDirectoryTheModuleComesFromTheProgramFolder) {
  tree.makefolder("elsewhere");
  // The listing names fx.dll; the module of that name beside the program is loaded.
  tree.copymodule("identity", "elsewhere\\plugin\\fx.dll");
  tree.copymodule("gain", "prog\\plugin\\fx.dll");
  // Beside the program only: the search does not find it.
  tree.copymodule("gain", "prog\\plugin2\\gain.dll");
  // In the current directory only: found, but there is nothing to load.
  tree.copymodule("identity", "elsewhere\\plugin3\\lonely.dll");
  enter(tree.at("elsewhere"));
  loadplugins();

  ASSERT_TRUE(bound(1));
  EXPECT_EQ(pluginslots[1].pluginproc(10.0f), 5.0f);
  EXPECT_EQ(GetModuleHandleA(tree.at("elsewhere\\plugin\\fx.dll").c_str()), nullptr);
  EXPECT_TRUE(empty(2));
  EXPECT_TRUE(empty(3));
  EXPECT_EQ(samepathkey(currentdirectory()), samepathkey(tree.at("elsewhere")));
}

TEST_F(LoadSlots, PluginInitRunsInTheSlotFolderBesideTheProgramAndTheDirectoryIsRestored) {
  tree.makefolder("elsewhere");
  tree.copymodule("cwdprobe", "elsewhere\\plugin3\\probe.dll");
  tree.copymodule("cwdprobe", "prog\\plugin3\\probe.dll");
  enter(tree.at("elsewhere"));
  loadplugins();

  ASSERT_TRUE(bound(3));
  std::string written = tree.at("prog\\plugin3\\initcwd.txt");
  ASSERT_TRUE(fileexists(written));
  EXPECT_EQ(samepathkey(readfile(written)), samepathkey(tree.at("prog\\plugin3")));
  EXPECT_FALSE(fileexists(tree.at("elsewhere\\initcwd.txt")));
  EXPECT_FALSE(fileexists(tree.at("elsewhere\\plugin3\\initcwd.txt")));
  EXPECT_EQ(samepathkey(currentdirectory()), samepathkey(tree.at("elsewhere")));
}

TEST_F(LoadSlots, WithoutAnOverrideTheProgramFolderIsTheFolderOfTheRunningProgram) {
  char exe[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
  ASSERT_GT(n, 0u);
  std::string exefolder(exe, n);
  exefolder.resize(exefolder.find_last_of("\\/"));
  std::string beside = exefolder + "\\plugin6";
  std::string module = beside + "\\quarnhostprobe.dll";
  CreateDirectoryA(beside.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(fixturemodule("gain").c_str(), module.c_str(), FALSE));
  tree.copymodule("identity", "prog\\plugin6\\quarnhostprobe.dll");  // what the search finds
  setpluginprogramfolder(nullptr);
  loadplugins();

  bool loaded = bound(6);
  float out = loaded ? pluginslots[6].pluginproc(4.0f) : 0.0f;
  unloadplugins();
  DeleteFileA(module.c_str());
  RemoveDirectoryA(beside.c_str());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(out, 2.0f) << "the module beside the program, not the one in the current directory";
}

using LoadFile = HostTest;

TEST_F(LoadFile, LoadsAModuleByPathIntoTheSlotAsAFolderWould) {
  tree.copymodule("gain", "lib\\one\\gain.dll");
  tree.copymodule("gain", "lib\\two\\gain.dll");
  enter(tree.path);
  EXPECT_EQ(loadpluginfile("lib\\one\\gain.dll", 1), 1) << "relative to the current directory";
  EXPECT_EQ(loadpluginfile(tree.at("lib\\two\\gain.dll").c_str(), 2), 1);
  ASSERT_TRUE(bound(1) && bound(2));
  EXPECT_NE(pluginslots[1].module, pluginslots[2].module);
  pluginslots[1].pluginproc(1.0f);
  EXPECT_EQ(slotcounter(1, "fixturecalls"), 1);
  EXPECT_EQ(slotcounter(2, "fixturecalls"), 0);
}

TEST_F(LoadFile, PluginInitRunsInTheModulesFolderAndTheDirectoryIsRestored) {
  tree.copymodule("cwdprobe", "lib\\probe.dll");
  EXPECT_EQ(loadpluginfile(tree.at("lib\\probe.dll").c_str(), 4), 1);
  std::string written = tree.at("lib\\initcwd.txt");
  ASSERT_TRUE(fileexists(written));
  EXPECT_EQ(samepathkey(readfile(written)), samepathkey(tree.at("lib")));
  EXPECT_EQ(samepathkey(currentdirectory()), samepathkey(prog));
}

TEST_F(LoadFile, RefusesWhatCannotBeBoundAndReportsIt) {
  tree.copymodule("noclose", "lib\\noclose.dll");
  tree.copymodule("identity", "lib\\identity.dll");
  tree.writefile("lib\\text.dll", "plain text");
  EXPECT_EQ(loadpluginfile(tree.at("lib\\noclose.dll").c_str(), 1), 0);
  EXPECT_TRUE(loadedunbound(1));
  EXPECT_EQ(loadpluginfile(tree.at("lib\\text.dll").c_str(), 2), 0);
  EXPECT_EQ(loadpluginfile(tree.at("lib\\absent.dll").c_str(), 3), 0);
  EXPECT_EQ(loadpluginfile("", 3), 0);
  EXPECT_EQ(loadpluginfile(nullptr, 3), 0);
  EXPECT_EQ(loadpluginfile(tree.at("lib\\identity.dll").c_str(), 0), 0);
  EXPECT_EQ(loadpluginfile(tree.at("lib\\identity.dll").c_str(), 7), 0);
  EXPECT_EQ(loadpluginfile(tree.at("lib\\identity.dll").c_str(), 1), 0) << "slot 1 already holds a module";
  EXPECT_TRUE(loadedunbound(1));
  for (int slot = 2; slot <= 6; ++slot) EXPECT_TRUE(empty(slot)) << slot;
  EXPECT_EQ(loadpluginfile(tree.at("lib\\identity.dll").c_str(), 6), 1);
}
