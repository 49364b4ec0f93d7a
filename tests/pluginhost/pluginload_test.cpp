// pluginload_test.cpp: which module each slot takes, what it binds, and where
// plugininit runs. Real fixture modules, loaded under Wine.
#include "tests/pluginhost/pluginkit.h"

using LoadSlots = HostTest;

TEST_F(LoadSlots, EachSlotTakesTheFirstModuleOfItsOwnFolder) {
  copymodule("gain", "prog\\plugin\\gain.dll");
  makefolder("prog\\plugin2");  // present but empty
  // Made in an order unlike the names' order, so the creation order cannot decide.
  copymodule("identity", "prog\\plugin3\\b_identity.dll");
  copymodule("gain", "prog\\plugin3\\a_gain.dll");
  makefolder("prog\\plugin3\\0folder.dll");
  copymodule("identity", "prog\\plugin3\\0old.dll.bak");  // Windows' short name would match *.dll
  copymodule("identity", "prog\\plugin4\\hidden.dll");
  copymodule("identity", "prog\\plugin4\\system.dll");
  bool marked = SetFileAttributesA(tree.at("prog\\plugin4\\hidden.dll").c_str(), FILE_ATTRIBUTE_HIDDEN) &&
                SetFileAttributesA(tree.at("prog\\plugin4\\system.dll").c_str(), FILE_ATTRIBUTE_SYSTEM) &&
                (GetFileAttributesA(tree.at("prog\\plugin4\\hidden.dll").c_str()) & FILE_ATTRIBUTE_HIDDEN) &&
                (GetFileAttributesA(tree.at("prog\\plugin4\\system.dll").c_str()) & FILE_ATTRIBUTE_SYSTEM);
  loadplugins();

  EXPECT_EQ(slotstates(), marked ? "b.b..." : "b.bb..");  // some file systems keep no such marks
  // Two copies of one module file are two modules with their own state.
  EXPECT_NE(pluginslots[1].module, pluginslots[3].module);
  EXPECT_EQ(pluginslots[1].pluginproc(1000.0f), 500.0f);
  EXPECT_EQ(pluginslots[3].pluginproc(-3.0f), -1.5f) << "a_gain.dll comes first";
  EXPECT_EQ(pluginslots[3].pluginproc(8.0f), 4.0f);
  EXPECT_EQ(slotcounter(1, "fixturecalls"), 1);
  EXPECT_EQ(slotcounter(3, "fixturecalls"), 2);
}

TEST_F(LoadSlots, UnusableFilesLeaveTheSlotEmptyAModuleMissingAnExportStaysUnusedUntilExit) {
  copymodule("noclose", "prog\\plugin\\noclose.dll");
  writefile("prog\\plugin2\\notes.dll", "these are not the instructions you are looking for\r\n");
  writefile("prog\\plugin3\\nothing.dll", "");
  if (fs::is_regular_file(fixturemodule("identity32"))) copymodule("identity32", "prog\\plugin4\\old32.dll");
  writefile("prog\\plugin5\\cut.dll", readfile(fixturemodule("identity")).substr(0, 700));
  copymodule("gain", "prog\\plugin6\\gain.dll");
  loadplugins();

  EXPECT_EQ(slotstates(), "u....b");
  EXPECT_EQ(slotcounter(1, "fixtureinits"), 0) << "plugininit of an unusable module must not run";
  EXPECT_EQ(pluginslots[6].pluginproc(2.0f), 1.0f) << "the other slots still work";
  std::string path = tree.at("prog\\plugin\\noclose.dll");
  EXPECT_NE(GetModuleHandleA(path.c_str()), nullptr);
  unloadplugins();
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "freed at exit like any other module";
  EXPECT_EQ(slotstates(), "......");
}

TEST_F(LoadSlots, TheSearchLooksInTheCurrentDirectoryLoadingAndInitUseTheProgramFolder) {
  // The listing names fx.dll; the module of that name beside the program is loaded.
  copymodule("identity", "elsewhere\\plugin\\fx.dll");
  copymodule("gain", "prog\\plugin\\fx.dll");
  copymodule("gain", "prog\\plugin2\\gain.dll");             // beside the program only: not found
  copymodule("identity", "elsewhere\\plugin3\\lonely.dll");  // found, but nothing to load
  copymodule("identity", "elsewhere\\plugin4\\probe.dll");
  copymodule("identity", "prog\\plugin4\\probe.dll");
  enter(tree.at("elsewhere"));
  loadplugins();

  EXPECT_EQ(slotstates(), "b..b..");
  EXPECT_EQ(pluginslots[1].pluginproc(10.0f), 5.0f);
  EXPECT_EQ(GetModuleHandleA(tree.at("elsewhere\\plugin\\fx.dll").c_str()), nullptr);
  // plugininit ran in the slot's folder beside the program, and the directory came back.
  EXPECT_EQ(samepathkey(readfile(tree.at("prog\\plugin4\\initcwd.txt"))), samepathkey(tree.at("prog\\plugin4")));
  EXPECT_FALSE(fs::is_regular_file(tree.at("elsewhere\\initcwd.txt")));
  EXPECT_FALSE(fs::is_regular_file(tree.at("elsewhere\\plugin4\\initcwd.txt")));
  EXPECT_EQ(samepathkey("."), samepathkey(tree.at("elsewhere")));
}

TEST_F(LoadSlots, WithoutAnOverrideTheProgramFolderIsTheFolderOfTheRunningProgram) {
  char exe[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string beside = std::string(exe, n).substr(0, std::string(exe, n).find_last_of("\\/")) + "\\plugin6";
  std::string module = beside + "\\quarnhostprobe.dll";
  CreateDirectoryA(beside.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(fixturemodule("gain").c_str(), module.c_str(), FALSE));
  copymodule("identity", "prog\\plugin6\\quarnhostprobe.dll");  // what the search finds
  setpluginprogramfolder(nullptr);
  loadplugins();
  float out = pluginslots[6].pluginproc ? pluginslots[6].pluginproc(4.0f) : 0.0f;
  unloadplugins();
  DeleteFileA(module.c_str());
  RemoveDirectoryA(beside.c_str());
  EXPECT_EQ(out, 2.0f) << "the module beside the program, not the one in the current directory";
}

using LoadFile = HostTest;

TEST_F(LoadFile, LoadsByPathRunsInitInTheModulesFolderAndRefusesWhatCannotBeBound) {
  copymodule("gain", "lib\\one\\gain.dll");
  copymodule("identity", "lib\\two\\probe.dll");
  copymodule("noclose", "lib\\noclose.dll");
  writefile("lib\\text.dll", "plain text");
  enter(tree.path);
  EXPECT_EQ(loadpluginfile("lib\\one\\gain.dll", 1), 1) << "relative to the current directory";
  EXPECT_EQ(loadpluginfile(tree.at("lib\\two\\probe.dll").c_str(), 2), 1);
  EXPECT_EQ(samepathkey(readfile(tree.at("lib\\two\\initcwd.txt"))), samepathkey(tree.at("lib\\two")));
  EXPECT_EQ(samepathkey("."), samepathkey(tree.path));

  EXPECT_EQ(loadpluginfile("lib\\noclose.dll", 3), 0);
  for (const char *bad : {"lib\\text.dll", "lib\\absent.dll", ""}) EXPECT_EQ(loadpluginfile(bad, 4), 0) << bad;
  EXPECT_EQ(loadpluginfile(nullptr, 4), 0);
  for (int slot : {0, 7, 1}) EXPECT_EQ(loadpluginfile("lib\\one\\gain.dll", slot), 0) << slot;  // 1 is taken
  EXPECT_EQ(slotstates(), "bbu...");
  EXPECT_EQ(pluginslots[1].pluginproc(2.0f), 1.0f);
}
