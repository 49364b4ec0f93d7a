// pluginwindows_test.cpp: the plug-ins' window threads: started, closed by pluginclose,
// ended by the user, the "plugins" toggle, and unloading at exit.
#include "tests/pluginhost/pluginkit.h"

namespace {

bool running(int slot) { return std::atomic_ref<void *>(pluginslots[slot].windowthread).load() != nullptr; }

// Slot 4's pluginmain returns at once; its thread is gone once its mark is clear.
void slot4done() { ASSERT_TRUE(waitfor([] { return !running(4); })); }

void userclose(int slot) { slotcounter(slot, "fixtureuserclose"); }

}  // namespace

class WindowThreads : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    copymodule("windowloop", "prog\\plugin\\loop.dll");
    copymodule("windowloop", "prog\\plugin2\\loop.dll");
    copymodule("identity", "prog\\plugin4\\identity.dll");  // its pluginmain returns at once
    copymodule("windowloop", "prog\\plugin5\\loop.dll");
    copymodule("noclose", "prog\\plugin6\\noclose.dll");    // loaded, never started
    loadplugins();
  }
};

TEST_F(WindowThreads, EachPluginMainRunsOnItsOwnThreadUntilTheUserOrTheHostEndsIt) {
  startpluginwindows();
  // Each window loops until asked to finish: all three run at once, beside this thread.
  for (int slot : {1, 2, 5})
    EXPECT_TRUE(waitfor([&] { return slotcounter(slot, "fixturerunning") == 1; })) << slot;
  slot4done();  // a pluginmain that returned: its thread cleared its own mark
  EXPECT_EQ(slotcounter(4, "fixturemains"), 1);
  EXPECT_EQ(runningpluginwindows(), 3);

  // The user closes window 2: its mark clears, and the next start builds only it anew.
  userclose(2);
  ASSERT_TRUE(waitfor([] { return !running(2); }));
  startpluginwindows();
  for (int slot : {1, 2, 5}) EXPECT_EQ(slotcounter(slot, "fixturemains"), slot == 2 ? 2 : 1) << slot;

  closepluginwindows();
  EXPECT_EQ(runningpluginwindows(), 0);
  for (int slot : {1, 2, 5}) {
    EXPECT_EQ(slotcounter(slot, "fixturecloses"), 1) << slot;
    EXPECT_EQ(slotcounter(slot, "fixturerunning"), 0) << "the wait ended only after pluginmain did";
  }
}

TEST_F(WindowThreads, ThePluginsButtonClosesWhileAnyRunsAndOtherwiseStarts) {
  togglepluginwindows();  // nothing running: start
  slot4done();
  EXPECT_EQ(runningpluginwindows(), 3);

  // The user closes two of the three windows; the button then closes the third
  // and starts none.
  userclose(1);
  userclose(5);
  ASSERT_TRUE(waitfor([] { return !running(1) && !running(5); }));
  togglepluginwindows();
  EXPECT_EQ(runningpluginwindows(), 0);
  for (int slot : {1, 2, 5}) {
    EXPECT_EQ(slotcounter(slot, "fixturecloses"), slot == 2) << slot;
    EXPECT_EQ(slotcounter(slot, "fixturemains"), 1) << slot;
  }
}

TEST_F(WindowThreads, UnloadingClosesRunningWindowsThenFreesEveryModule) {
  // An extra reference keeps slot 1's module readable after the host frees it.
  HMODULE kept = LoadLibraryA(tree.at("prog\\plugin\\loop.dll").c_str());
  ASSERT_EQ((void *)kept, pluginslots[1].module);
  startpluginwindows();
  unloadplugins();
  EXPECT_EQ(modulecounter(kept, "fixturecloses"), 1);
  EXPECT_EQ(modulecounter(kept, "fixturerunning"), 0);
  FreeLibrary(kept);

  for (const char *module : {"plugin\\loop.dll", "plugin2\\loop.dll", "plugin4\\identity.dll",
                             "plugin5\\loop.dll", "plugin6\\noclose.dll"})
    EXPECT_EQ(GetModuleHandleA(tree.at(std::string("prog\\") + module).c_str()), nullptr) << module;
  EXPECT_EQ(slotstates(), "......");
  for (int slot = 1; slot <= pluginslotcount; ++slot) EXPECT_FALSE(running(slot)) << slot;
}
