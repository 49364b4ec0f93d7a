// pluginchain_test.cpp: loaded plug-ins in the engine's per-sample chain, run in this
// process through the renderer's own steps: its command line, then the render.
#include <cmath>
#include <vector>

#include "engine/wavfile.h"
#include "tests/pluginhost/pluginkit.h"

namespace {

constexpr double pi = 3.14159265358979323846;

float recordedinput(int slot, int i) {
  return moduleexport<float(QUARN_PLUGINCALL *)(int)>(pluginslots[slot].module, "fixtureinput")(i);
}

class PluginChain : public HostTest {
 protected:
  std::vector<int16_t> in;

  // Two tones, one per channel, loud enough to drive every stage; as in.wav.
  void SetUp() override {
    HostTest::SetUp();
    in.resize(2 * 3 * 44100);
    for (size_t f = 0; f < in.size() / 2; ++f) {
      double t = f / 44100.0;
      in[2 * f] = (int16_t)std::lround(9000 * std::sin(2 * pi * 440 * t));
      in[2 * f + 1] = (int16_t)std::lround(7000 * std::sin(2 * pi * 659 * t) + 2000 * std::sin(2 * pi * 97 * t));
    }
    std::vector<uint8_t> bytes = encodewav(in);
    writefile("in.wav", std::string(bytes.begin(), bytes.end()));
    for (const char *name : {"identity", "gain", "nonfinite"}) copymodule(name, std::string("lib\\") + name + ".dll");
    copymodule("gain", "lib\\gain2.dll");
  }

  // Rendered with --set starttime=-6 (no start-up fade); nothing when it failed.
  std::vector<int16_t> render(const std::vector<std::string> &plugins) {
    std::vector<int16_t> out;
    return HostTest::render({"--set", "starttime=-6"}, plugins, out) == 0 ? out : std::vector<int16_t>{};
  }
};

}  // namespace

TEST_F(PluginChain, EachSamplePassesSlotOneThenSlotThreeSkippingTheEmptySlot) {
  ASSERT_EQ(loadpluginfile(tree.at("lib\\gain2.dll").c_str(), 3), 1);
  ASSERT_EQ(render({"gain"}).size(), in.size());
  ASSERT_EQ(slotstates(), "b.b...");
  int n = (int)in.size(), differing = 0, loud = 0;
  EXPECT_EQ(slotcounter(1, "fixturecalls"), n);
  EXPECT_EQ(slotcounter(3, "fixturecalls"), n);
  for (int i = 0; i < n; ++i) {
    float first = recordedinput(1, i), third = recordedinput(3, i);
    differing += third != first * 0.5f;
    loud += std::fabs(first) > 1000;
  }
  EXPECT_EQ(differing, 0) << "slot 3 must receive slot 1's output, sample by sample";
  EXPECT_GT(loud, n / 4);
}

// (tplug 0 leaving a plug-in out is the chain reference's.)
TEST_F(PluginChain, AnIdentityPluginLeavesTheAudioBitForBitUnchanged) {
  std::vector<int16_t> none = render({});
  ASSERT_EQ(none.size(), in.size());
  EXPECT_EQ(render({"identity"}), none);
  EXPECT_EQ(slotcounter(1, "fixturecalls"), (int)in.size());
  unloadplugins();
  std::vector<int16_t> halved = render({"gain"});
  ASSERT_EQ(halved.size(), none.size());
  EXPECT_NE(halved, none) << "the plug-in is heard once the chain is on";
  unloadplugins();
  EXPECT_EQ(render({"gain", "identity"}), halved) << "the second --plugin takes slot 2";
}

// The plug-in folders beside the program are loaded with --plugins only, as
// roomcaster_live loads them; without it a render has only its --plugin modules.
TEST_F(PluginChain, PluginFoldersAreLoadedWithPluginsOnly) {
  copymodule("gain", "prog\\plugin\\gain.dll");
  std::vector<int16_t> none = render({}), folders, halved;
  ASSERT_EQ(none.size(), in.size());
  EXPECT_EQ(slotstates(), "......");
  ASSERT_EQ(HostTest::render({"--set", "starttime=-6", "--plugins"}, {}, folders), 0);
  EXPECT_EQ(slotstates(), "b.....");
  unloadplugins();
  halved = render({"gain"});
  ASSERT_EQ(halved.size(), none.size());
  EXPECT_NE(halved, none);
  EXPECT_EQ(folders, halved) << "slot 1 from the folder plugin";
}

TEST_F(PluginChain, NonFiniteResultsBecomeZeroBeforeTheNextStage) {
  // The misbehaving plug-in in front of one that records what it gets.
  ASSERT_EQ(render({"nonfinite", "gain"}).size(), in.size());
  int nonfinite = 0, zeroed = 0;
  for (int i = 0; i < 20000; ++i) {
    float x = recordedinput(2, i);
    nonfinite += !std::isfinite(x);
    zeroed += i % 4 != 3 && x == 0.0f;
  }
  EXPECT_EQ(nonfinite, 0) << "the next plug-in always receives a finite value";
  EXPECT_EQ(zeroed, 15000) << "every NaN or inf became 0 for that call";
}
