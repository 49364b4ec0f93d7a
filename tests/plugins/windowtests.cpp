// windowtests.cpp: the plug-ins' window threads: started, closed by pluginclose,
// ended by the user, the "plugins" toggle, and unloading at exit.
#include "pluginkit.h"

namespace {

bool running(int slot) { return std::atomic_ref<void *>(pluginslots[slot].windowthread).load() != nullptr; }

// Slot 4's pluginmain returns at once; its thread is gone once its mark is clear.
void slot4done() { ASSERT_TRUE(waitfor([] { return !running(4); })); }

void userclosesthewindow(int slot) {
  moduleexport<int(QUARN_PLUGINCALL *)(void)>(pluginslots[slot].module, "fixtureuserclose")();
}

}  // namespace

class WindowThreads : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    tree.copymodule("windowloop", "prog\\plugin\\loop.dll");
    tree.copymodule("windowloop", "prog\\plugin2\\loop.dll");
    tree.copymodule("identity", "prog\\plugin4\\identity.dll");  // its pluginmain returns at once
    tree.copymodule("windowloop", "prog\\plugin5\\loop.dll");
    tree.copymodule("noclose", "prog\\plugin6\\noclose.dll");    // loaded, never started
    loadplugins();
  }
};

TEST_F(WindowThreads, StartRunsEachPluginMainOnAThreadOfItsOwnAndCloseEndsThem) {
  startpluginwindows();
  for (int slot : {1, 2, 5}) {
    EXPECT_TRUE(running(slot)) << slot;
    EXPECT_TRUE(waitfor([&] { return slotcounter(slot, "fixturerunning") == 1; })) << slot;
    EXPECT_EQ(slotcounter(slot, "fixturemains"), 1) << slot;
    EXPECT_NE((DWORD)slotcounter(slot, "fixturemainthread"), GetCurrentThreadId()) << slot;
  }
  EXPECT_NE(slotcounter(1, "fixturemainthread"), slotcounter(2, "fixturemainthread"));
  // A pluginmain that returns at once: its thread ends and clears its own mark.
  EXPECT_TRUE(waitfor([] { return !running(4); }));
  EXPECT_EQ(slotcounter(4, "fixturemains"), 1);
  EXPECT_FALSE(running(3));
  EXPECT_FALSE(running(6));

  closepluginwindows();
  for (int slot : {1, 2, 5}) {
    EXPECT_FALSE(running(slot)) << slot;
    EXPECT_EQ(slotcounter(slot, "fixturecloses"), 1) << slot;
    EXPECT_EQ(slotcounter(slot, "fixturerunning"), 0) << "the wait ended only after pluginmain did";
  }
  EXPECT_EQ(runningpluginwindows(), 0);
}

TEST_F(WindowThreads, AWindowTheUserClosedClearsItsMarkAndStartsAnewNextTime) {
  startpluginwindows();
  slot4done();
  ASSERT_TRUE(running(2));
  userclosesthewindow(2);
  ASSERT_TRUE(waitfor([] { return !running(2); }));
  EXPECT_EQ(runningpluginwindows(), 2);

  startpluginwindows();  // only the closed one is started again
  EXPECT_TRUE(running(2));
  EXPECT_EQ(slotcounter(2, "fixturemains"), 2);
  EXPECT_EQ(slotcounter(1, "fixturemains"), 1);
  EXPECT_EQ(slotcounter(5, "fixturemains"), 1);
  closepluginwindows();
  EXPECT_EQ(slotcounter(2, "fixturecloses"), 1);
}

TEST_F(WindowThreads, ThePluginsButtonClosesWhileAnyRunsAndOtherwiseStarts) {
  togglepluginwindows();  // nothing running: start
  slot4done();
  EXPECT_EQ(runningpluginwindows(), 3);

  // The user closes two of the three windows; the button then closes the third
  // and starts none.
  userclosesthewindow(1);
  userclosesthewindow(5);
  ASSERT_TRUE(waitfor([] { return !running(1) && !running(5); }));
  togglepluginwindows();
  EXPECT_EQ(runningpluginwindows(), 0);
  EXPECT_EQ(slotcounter(2, "fixturecloses"), 1);
  EXPECT_EQ(slotcounter(1, "fixturecloses"), 0);
  EXPECT_EQ(slotcounter(5, "fixturecloses"), 0);
  for (int slot : {1, 2, 5}) EXPECT_EQ(slotcounter(slot, "fixturemains"), 1) << slot;

  // Nothing runs now: the next press starts every window again, built anew.
  togglepluginwindows();
  slot4done();
  EXPECT_EQ(runningpluginwindows(), 3);
  for (int slot : {1, 2, 5}) EXPECT_EQ(slotcounter(slot, "fixturemains"), 2) << slot;
  togglepluginwindows();
  EXPECT_EQ(runningpluginwindows(), 0);
}

TEST_F(WindowThreads, UnloadingClosesRunningWindowsThenFreesEveryModule) {
  // An extra reference keeps slot 1's module readable after the host frees it.
  std::string loop1 = tree.at("prog\\plugin\\loop.dll");
  HMODULE kept = LoadLibraryA(loop1.c_str());
  ASSERT_EQ((void *)kept, pluginslots[1].module);
  startpluginwindows();
  ASSERT_TRUE(running(1));

  unloadplugins();
  auto counter = [&](const char *name) { return moduleexport<int(QUARN_PLUGINCALL *)(void)>(kept, name)(); };
  EXPECT_EQ(counter("fixturecloses"), 1);
  EXPECT_EQ(counter("fixturerunning"), 0);
  FreeLibrary(kept);

  for (const char *module : {"plugin\\loop.dll", "plugin2\\loop.dll", "plugin4\\identity.dll",
                             "plugin5\\loop.dll", "plugin6\\noclose.dll"})
    EXPECT_EQ(GetModuleHandleA(tree.at(std::string("prog\\") + module).c_str()), nullptr) << module;
  for (int slot = 1; slot <= pluginslotcount; ++slot) {
    EXPECT_EQ(pluginslots[slot].module, nullptr) << slot;
    EXPECT_EQ(pluginslots[slot].pluginproc, nullptr) << slot;
    EXPECT_FALSE(running(slot)) << slot;
  }
}
