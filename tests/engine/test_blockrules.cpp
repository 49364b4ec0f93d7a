// Block rules of processblock: when a block is placed or dropped, buffer
// rotation, play and pan at the output, the level period.
#include <gtest/gtest.h>

#include "chainharness.h"

namespace {

std::vector<int16_t> block(int frames, int16_t value = 1000) { return std::vector<int16_t>(2 * frames, value); }

TEST(BlockPlacement, ProcessedWithFiveOrSixFreeDroppedWithFour) {
  startengine();
  TestPlayback p(400);
  p.autofree = false;  // nothing is ever played back
  std::vector<int16_t> b = block(400);
  for (int i = 0; i < 4; ++i) {
    p.pendingcount = 800;
    processblock(b.data(), 800);
  }
  // 6 free, then 5 free: two blocks queued; then 4 free: dropped, and again.
  EXPECT_EQ(p.queuedindexes.size(), 2u);
  EXPECT_EQ(engine.freeout.load(), 4);
  EXPECT_NE(p.queuedindexes[0], p.queuedindexes[1]);
}

TEST(BlockPlacement, RotationSkipsBusyBuffers) {
  startengine();
  TestPlayback p(150);
  p.busy[1] = 1;  // one buffer still playing: five free, so the block is placed
  std::vector<int16_t> b = block(150);
  p.pendingcount = 300;
  processblock(b.data(), 300);
  processblock(b.data(), 300);
  // The index advances before each try: 1 is busy, so 2 is taken, then 3.
  ASSERT_EQ(p.queuedindexes.size(), 2u);
  EXPECT_EQ(p.queuedindexes[0], 2);
  EXPECT_EQ(p.queuedindexes[1], 3);
}

TEST(BlockPlacement, SwitchesThatDropEveryBlock) {
  std::vector<int16_t> b = block(400);
  {
    startengine();
    TestPlayback p(400);
    engine.freeout = 77;
    engine.quitrequest = 1;
    processblock(b.data(), 800);
    EXPECT_TRUE(p.queuedindexes.empty());
    EXPECT_EQ(engine.freeout.load(), 77) << "quitrequest leaves the block untouched";
  }
  {
    startengine();
    TestPlayback p(400);
    engine.play = 2;
    processblock(b.data(), 800);
    EXPECT_TRUE(p.queuedindexes.empty());
    EXPECT_EQ(engine.freeout.load(), 6);
  }
  {
    startengine();  // playback closed: no port
    processblock(b.data(), 800);
    EXPECT_EQ(engine.freeout.load(), 0);
  }
}

TEST(BlockPlacement, ABlockLongerThanTheBufferIsCutToTheBuffer) {
  startengine();
  TestPlayback p(150);
  std::vector<int16_t> big = block(400);
  p.pendingcount = 300;
  processblock(big.data(), 800);
  EXPECT_EQ(p.queuedindexes.size(), 1u);
}

TEST(OutputStage, PlayZeroWritesZerosAndKeepsTheLastOutput) {
  std::vector<int16_t> in = sine(300, 8000, 0.3);
  const int frames = 400;
  auto runwithpause = [&](bool pause) {
    startengine();
    TestPlayback p(frames);
    for (size_t b = 0; b * 2 * frames < in.size(); ++b) {
      engine.play = (pause && b == 5) ? 0 : 1;
      p.pendingcount = 2 * frames;
      size_t pos = b * 2 * frames;
      if (pos + 2 * frames > in.size()) break;
      processblock(in.data() + pos, 2 * frames);
    }
    return p.output;
  };
  std::vector<int16_t> paused = runwithpause(true), plain = runwithpause(false);
  ASSERT_EQ(paused.size(), plain.size());
  const size_t b5 = 5 * 2 * frames, b6 = 6 * 2 * frames;
  for (size_t i = b5; i < b6; ++i) ASSERT_EQ(paused[i], 0) << i;
  // With pan 0 the first sample after the pause repeats the last chain output
  // before it, which the uninterrupted run shows as the first sample of block 5.
  EXPECT_EQ(paused[b6], plain[b5]);
  EXPECT_NE(plain[b5], 0);
  for (size_t i = b6 + 1; i < paused.size(); ++i) ASSERT_EQ(paused[i], plain[i]) << i;
}

TEST(OutputStage, PanZeroDelaysByOneSamplePanOnePasses) {
  std::vector<int16_t> in = sine(700, 12000, 0.5);
  auto render = [&](float pan) {
    startengine();
    engine.pan = pan;
    TestPlayback p(400);
    p.run(in);
    return p.output;
  };
  std::vector<int16_t> now = render(1.0f), delayed = render(0.0f);
  ASSERT_EQ(now.size(), delayed.size());
  int nonzero = 0;
  for (size_t i = 0; i + 1 < now.size(); ++i) {
    ASSERT_EQ(delayed[i + 1], now[i]) << i;
    nonzero += now[i] != 0;
  }
  EXPECT_GT(nonzero, 1000);
}

TEST(OutputStage, TestToneSkipsTheMainChainAndTheLevelPeriod) {
  startengine();
  engine.inputmode = 99;
  engine.outputmode = 99;
  engine.pan = 1.0f;
  TestPlayback p(1500);
  p.run(std::vector<int16_t>(2 * 44100, 0));  // one second of silent input
  EXPECT_EQ(engine.inputpeak.load(), 0.0f) << "no sample went through the DC blocker";
  EXPECT_EQ(engine.vupeak.load(), 1.0f) << "no level period closed";
  // A 479.8 Hz tone: about 960 sign changes per second on one channel.
  int crossings = 0, peak = 0;
  for (size_t i = 4 * 2 * 441; i + 2 < p.output.size(); i += 2) {
    crossings += (p.output[i] < 0) != (p.output[i + 2] < 0);
    peak = std::max(peak, std::abs(static_cast<int>(p.output[i])));
  }
  EXPECT_NEAR(crossings, 2 * 479.8234 * 0.96, 4);
  // 16000 through the low cut and the follower (0.06..1.4), never past the clip.
  EXPECT_GT(peak, 3000);
  EXPECT_LE(peak, 32700);
}

TEST(OutputStage, StartUpSilenceThenFadeIn) {
  startengine(0.0);  // devices opened at stream time 0
  TestPlayback p(400);
  p.run(sine(440, 20000, 7.0));
  auto rms = [&](double from, double to) {
    double sum = 0;
    size_t a = static_cast<size_t>(from * 44100) * 2, b = static_cast<size_t>(to * 44100) * 2;
    for (size_t i = a; i < b; ++i) sum += double(p.output[i]) * p.output[i];
    return std::sqrt(sum / (b - a));
  };
  for (size_t i = 0; i < 3 * 44100 * 2; ++i) ASSERT_EQ(p.output[i], 0) << "sample " << i;
  EXPECT_GT(rms(3.2, 3.4), 0.0);
  EXPECT_LT(rms(3.2, 3.4), rms(4.4, 4.6));
  EXPECT_LT(rms(4.4, 4.6), rms(6.2, 6.4));
}

TEST(LevelPeriod, ClosesEverySecondBlockOf1500Frames) {
  startengine();
  TestPlayback p(1500);
  std::vector<int16_t> in = sine(440, 10000, 0.2);
  p.pendingcount = 3000;
  processblock(in.data(), 3000);
  EXPECT_EQ(engine.vupeak.load(), 1.0f) << "3000 samples do not close a period";
  processblock(in.data() + 3000, 3000);
  EXPECT_NE(engine.vupeak.load(), 1.0f) << "6000 samples do";
  EXPECT_EQ(engine.inputpeak.load(), 1.0f) << "the peak hold restarts at 1.0";
}

TEST(PluginChain, ANonFiniteResultBecomesSilenceForThatCallOnly) {
  static bool poison;
  struct Fixture {
    static float QUARN_PLUGINCALL nanproc(float x) { return poison ? std::nanf("") : x; }
  };
  startengine();
  engine.pan = 1.0f;
  pluginslots[3].pluginproc = Fixture::nanproc;
  TestPlayback p(400);
  std::vector<int16_t> in = sine(440, 12000, 2.0);
  poison = false;
  p.run(std::vector<int16_t>(in.begin(), in.begin() + 44100));
  poison = true;
  p.run(std::vector<int16_t>(in.begin() + 44100, in.begin() + 88200));
  poison = false;
  p.run(std::vector<int16_t>(in.begin() + 88200, in.end()));
  pluginslots[3].pluginproc = nullptr;
  // After the poisoned stretch the chain carries sound again.
  int loud = 0;
  for (size_t i = p.output.size() - 8820; i < p.output.size(); ++i) loud += std::abs(p.output[i]) > 50;
  EXPECT_GT(loud, 1000);
  EXPECT_TRUE(std::isfinite(engine.chain.trendgain));
  EXPECT_TRUE(std::isfinite(engine.chain.followerfast));
}

}  // namespace
