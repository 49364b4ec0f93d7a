// pluginfaults_test.cpp: plug-ins that fault, in the renderer's own steps in this
// process: the faulting slot is switched off at the block of its fault, the
// other slots go on without a call lost or repeated, and the fault is told once.
#include <cmath>
#include <vector>

#include "pluginhost/pluginguard.h"
#include "engine/wavfile.h"
#include "pluginhost/pluginfaults.h"
#include "tests/pluginhost/pluginkit.h"

namespace {

constexpr uint32_t accessviolation = 0xc0000005, divisionbyzero = 0xc0000094, stackoverflow = 0xc00000fd;
constexpr int blocksamples = 800;  // --buffersize 400

class PluginFaults : public HostTest {
 protected:
  std::vector<int16_t> in;
  std::vector<int16_t> out;

  void SetUp() override {
    HostTest::SetUp();
    in.resize(2 * 2 * 44100);
    for (size_t i = 0; i < in.size(); ++i) in[i] = (int16_t)std::lround(8000 * std::sin(0.05 * (double)i));
    std::vector<uint8_t> bytes = encodewav(in);
    writefile("in.wav", std::string(bytes.begin(), bytes.end()));
    for (const char *name : {"gain", "faultav", "faultdiv", "faultstack", "faultinitav"})
      copymodule(name, std::string("lib\\") + name + ".dll");
    copymodule("gain", "lib\\gain2.dll");
    copymodule("faultstack", "lib\\faultstack2.dll");
  }

  // Rendered in 400-frame blocks without the start-up fade: the exit status.
  int render(const std::vector<std::string> &plugins) {
    return HostTest::render({"--buffersize", "400", "--set", "starttime=-6"}, plugins, out);
  }

  int nonzero(size_t from, size_t to) const {
    int n = 0;
    for (size_t i = from; i < to && i < out.size(); ++i) n += out[i] != 0;
    return n;
  }
};

}  // namespace

// The faulty module passes samples through and faults on its 1000th call,
// sample 999, inside the second block (samples 800..1599).
TEST_F(PluginFaults, EachKindOfFaultSwitchesOnlyThatSlotOffAndTheRenderGoesOn) {
  const struct { const char *module; uint32_t code; } kinds[] = {
      {"faultav", accessviolation}, {"faultdiv", divisionbyzero}, {"faultstack", stackoverflow}};
  for (const auto &k : kinds) {
    SCOPED_TRACE(k.module);
    EXPECT_EQ(render({"gain", k.module, "gain2"}), 3) << "a render with a faulted plug-in is not a success";
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(pluginfault[1].load(), 0u);
    EXPECT_EQ(pluginfault[2].load(), k.code);
    EXPECT_EQ(pluginfault[3].load(), 0u);
    EXPECT_EQ(slotcounter(2, "fixturecalls"), 1000);
    // Slot 1 ran samples 800..999 of the faulted block, slot 3 800..998; none
    // of them again, and every sample of the blocks before and after.
    const int n = (int)in.size();
    EXPECT_EQ(slotcounter(1, "fixturecalls"), n - (2 * blocksamples - 1000));
    EXPECT_EQ(slotcounter(3, "fixturecalls"), n - (2 * blocksamples - 999));
    EXPECT_EQ(nonzero(blocksamples, 2 * blocksamples), 0) << "the faulted block is played as silence";
    EXPECT_GT(nonzero(2 * blocksamples, out.size()), (int)(out.size() - 2 * blocksamples) * 9 / 10);
    unloadplugins();
  }
}

TEST_F(PluginFaults, ASecondStackOverflowIsCaughtAsWellAsTheFirst) {
  // Slot 1 overflows at sample 999; slot 2, which had 999 calls then, at the
  // first sample of the next block. Without the stack's guard page put back,
  // the second overflow would end the process.
  EXPECT_EQ(render({"faultstack", "faultstack2"}), 3);
  EXPECT_EQ(pluginfault[1].load(), stackoverflow);
  EXPECT_EQ(pluginfault[2].load(), stackoverflow);
  EXPECT_EQ(nonzero(2 * blocksamples, 3 * blocksamples), 0);
  EXPECT_GT(nonzero(3 * blocksamples, out.size()), 0);
}

TEST_F(PluginFaults, EachFaultIsToldOnceWithItsSlotModuleAndKind) {
  ASSERT_EQ(render({"gain", "faultdiv"}), 3);  // told by the render
  EXPECT_EQ(reportpluginfaults("test"), 0) << "told again";
  std::string log = readfile(tree.at("prog\\plugin-faults.log"));
  EXPECT_NE(log.find("roomcaster_render: plug-in slot 2 ("), std::string::npos) << log;
  EXPECT_NE(log.find("faultdiv.dll) faulted in pluginproc (integer division by zero, code c0000094) and is switched off"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("slot 1"), std::string::npos) << log;
}

TEST_F(PluginFaults, AFaultInPlugininitLeavesTheSlotUnusedAndTheDirectoryRestored) {
  const std::string before = samepathkey(".");
  EXPECT_EQ(loadpluginfile(tree.at("lib\\faultinitav.dll").c_str(), 1), 0);
  EXPECT_EQ(samepathkey("."), before);
  EXPECT_EQ(slotstates(), "u.....");
  EXPECT_EQ(pluginfault[1].load(), accessviolation);
  EXPECT_EQ(reportpluginfaults("test"), 1);
  EXPECT_NE(readfile(tree.at("prog\\plugin-faults.log")).find("faulted in plugininit (access violation"),
            std::string::npos);
  // The next slot loads and runs as usual.
  EXPECT_EQ(loadpluginfile(tree.at("lib\\gain.dll").c_str(), 2), 1);
  unloadplugins();
  EXPECT_EQ(pluginfault[1].load(), 0u) << "unloading forgets the fault";
  // A render whose plug-in faults there goes on without it, and says so.
  EXPECT_EQ(render({"faultinitav"}), 3);
  const std::vector<int16_t> faulted = out;
  unloadplugins();
  ASSERT_EQ(render({}), 0);
  EXPECT_EQ(faulted, out);
}
