// chaintests.cpp: loaded plug-ins in the engine's per-sample chain, driven
// through processblock with a test playback port, on the stream clock.
#include <cmath>
#include <vector>

#include "engine/engine.h"
#include "pluginkit.h"

namespace {

constexpr double pi = 3.14159265358979323846;

constexpr int frames = 400;  // per block

// A playback device that plays each queued buffer at once.
struct TestPort {
  int16_t storage[6][2 * frames];
  int16_t *data[6];
  std::atomic<int32_t> busy[6];
  int current = 0;
  int count = 0;
  std::vector<int16_t> *out = nullptr;
};

void playnow(void *context, int index) {
  TestPort &p = *static_cast<TestPort *>(context);
  p.out->insert(p.out->end(), p.data[index], p.data[index] + p.count);
  p.busy[index] = 0;
}

// The engine as just after the devices opened, with the start-up silence and
// fade-in already over, fed `in` block by block; returns what it played.
std::vector<int16_t> runengine(const std::vector<int16_t> &in, int tplug) {
  static TestPort port;
  std::vector<int16_t> out;
  for (int i = 0; i < 6; ++i) port.data[i] = port.storage[i], port.busy[i] = 0;
  port.current = 0;
  port.out = &out;
  PlaybackPort seam{6, frames, port.busy, &port.current, port.data, &port, playnow};
  engineinit();
  engine.buffersize = frames;
  engineclock.streamclock = true;
  engineclock.streamframe = 0;
  enginedevicesopened(0.0);
  engine.starttime = -6.0;
  engine.tplug = tplug;
  engineplayback.store(&seam);
  for (size_t pos = 0; pos < in.size(); pos += 2 * frames) {
    port.count = (int)std::min<size_t>(2 * frames, in.size() - pos);
    processblock(in.data() + pos, port.count);
  }
  engineplayback.store(nullptr);
  return out;
}

// Two tones, one per channel, loud enough to drive every stage.
std::vector<int16_t> music(double seconds) {
  std::vector<int16_t> s(2 * (size_t)(seconds * 44100));
  for (size_t f = 0; f < s.size() / 2; ++f) {
    double t = f / 44100.0;
    s[2 * f] = (int16_t)std::lround(9000 * std::sin(2 * pi * 440 * t));
    s[2 * f + 1] = (int16_t)std::lround(7000 * std::sin(2 * pi * 659 * t) + 2000 * std::sin(2 * pi * 97 * t));
  }
  return s;
}

float recordedinput(int slot, int i) {
  return moduleexport<float(QUARN_PLUGINCALL *)(int)>(pluginslots[slot].module, "fixtureinput")(i);
}

}  // namespace

using PluginChain = HostTest;

TEST_F(PluginChain, EachSamplePassesSlotOneThenSlotThreeSkippingTheEmptySlot) {
  tree.copymodule("gain", "prog\\plugin\\gain.dll");
  tree.copymodule("gain", "prog\\plugin3\\gain.dll");
  loadplugins();
  ASSERT_TRUE(pluginslots[1].pluginproc && !pluginslots[2].module && pluginslots[3].pluginproc);

  std::vector<int16_t> in = music(0.5);
  std::vector<int16_t> out = runengine(in, 1);
  ASSERT_EQ(out.size(), in.size());
  int n = (int)in.size();
  EXPECT_EQ(slotcounter(1, "fixturecalls"), n);
  EXPECT_EQ(slotcounter(3, "fixturecalls"), n);
  int differing = 0, loud = 0;
  for (int i = 0; i < n; ++i) {
    float first = recordedinput(1, i), third = recordedinput(3, i);
    if (third != first * 0.5f) ++differing;
    if (std::fabs(first) > 1000) ++loud;
  }
  EXPECT_EQ(differing, 0) << "slot 3 must receive slot 1's output, sample by sample";
  EXPECT_GT(loud, n / 4);
}

TEST_F(PluginChain, WithTplugZeroNoPluginIsCalledAndTheAudioIsAsWithoutPlugins) {
  std::vector<int16_t> in = music(1.0);
  std::vector<int16_t> without = runengine(in, 1);

  tree.copymodule("gain", "prog\\plugin2\\gain.dll");
  loadplugins();
  EXPECT_EQ(runengine(in, 0), without);
  EXPECT_EQ(slotcounter(2, "fixturecalls"), 0);

  EXPECT_NE(runengine(in, 1), without) << "the plug-in is heard once the chain is on";
  EXPECT_EQ(slotcounter(2, "fixturecalls"), (int)in.size());
}

TEST_F(PluginChain, APluginReturningItsInputLeavesTheAudioBitForBitUnchanged) {
  std::vector<int16_t> in = music(1.0);
  std::vector<int16_t> without = runengine(in, 1);

  tree.copymodule("identity", "prog\\plugin4\\identity.dll");
  loadplugins();
  EXPECT_EQ(runengine(in, 1), without);
  EXPECT_EQ(slotcounter(4, "fixturecalls"), (int)in.size());
}

TEST_F(PluginChain, NonFiniteResultsBecomeZeroAndDoNotPoisonTheChain) {
  std::vector<int16_t> in = music(3.0);
  tree.copymodule("nonfinite", "lib\\bad.dll");
  tree.copymodule("gain", "lib\\probe1.dll");
  tree.copymodule("identity", "lib\\good.dll");
  tree.copymodule("gain", "lib\\probe2.dll");

  // The misbehaving plug-in, and a plug-in after it that records what it gets.
  ASSERT_EQ(loadpluginfile(tree.at("lib\\bad.dll").c_str(), 1), 1);
  ASSERT_EQ(loadpluginfile(tree.at("lib\\probe1.dll").c_str(), 2), 1);
  std::vector<int16_t> bad = runengine(in, 1);
  int nonfinite = 0, zeroed = 0;
  for (int i = 0; i < 20000; ++i) {
    float x = recordedinput(2, i);
    if (!std::isfinite(x)) ++nonfinite;
    if (i % 4 != 3 && x == 0.0f) ++zeroed;
  }
  EXPECT_EQ(nonfinite, 0) << "the next plug-in always receives a finite value";
  EXPECT_EQ(zeroed, 15000) << "every NaN or inf became 0 for that call";
  unloadplugins();

  // The same chain with a well-behaved plug-in in front, for comparison.
  ASSERT_EQ(loadpluginfile(tree.at("lib\\good.dll").c_str(), 1), 1);
  ASSERT_EQ(loadpluginfile(tree.at("lib\\probe2.dll").c_str(), 2), 1);
  std::vector<int16_t> reference = runengine(in, 1);

  // The last second: the output still follows the input as the good chain does.
  size_t from = in.size() - 2 * 44100;
  double peak = 0, worst = 0;
  for (size_t i = from; i < in.size(); ++i) {
    peak = std::max(peak, std::fabs((double)reference[i]));
    worst = std::max(worst, std::fabs((double)bad[i] - reference[i]));
  }
  EXPECT_GT(peak, 100.0) << "the automatic level is still low, but the chain is heard";
  EXPECT_LT(worst, 0.02 * peak) << "largest difference from the well-behaved chain";
}
