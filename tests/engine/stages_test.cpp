// The stages one by one, on their own memories, where the plain model of
// test_chainreference.cpp does not reach: the trend guard's tiers, the limiter
// at gain 0, the level follower's bounds, the loop-test measurement path.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/engine/chainharness.h"
#include "engine/levelcontrol.h"
#include "engine/loopmeasure.h"

namespace {

TEST(TrendGuard, ASteadyLevelSettlesAtTheLowBoundOfTheTestgainTier) {
  struct Tier {
    float testgain;
    double low;
  } tiers[] = {{0.1f, 0.8}, {0.141f, 0.82}, {0.3f, 0.82}, {0.5f, 0.85}, {3.0f, 0.9}};
  for (Tier t : tiers) {
    ChainMemories m{};
    m.guardspan = 100.0;
    for (int n = 0; n < 200000; ++n) trendguard(m, 3000.0f, t.testgain);
    EXPECT_DOUBLE_EQ(m.trendgain, t.low) << "testgain " << t.testgain;
    EXPECT_LT(m.guardtrend, m.guardreference);
  }
}

TEST(TrendGuard, AFallingLevelReleasesTheGainAboveOneUpToTheHighBound) {
  ChainMemories m{};
  m.guardspan = 100.0;
  for (int n = 0; n < 200000; ++n) trendguard(m, 20000.0f, 3.0f);
  double highest = 0;
  for (int n = 0; n < 200000; ++n) {
    trendguard(m, 0.0f, 3.0f);
    highest = std::max(highest, m.trendgain);
  }
  EXPECT_GT(highest, 1.0);
  EXPECT_LE(highest, 2.04);
}

TEST(Limiter, GainZeroGlidesToSilenceAndLoudInputIsHeldUnderTheCeiling) {
  ChainMemories m{};
  m.limitergain = 1.0f;
  m.autolevel = 1.0f;
  for (int n = 0; n < 100000; ++n) limiterupdate(m, 20000.0f, 0.0f, 3.0f, 1);
  EXPECT_LT(m.limitergain, 1e-6f);

  ChainMemories c{};
  c.limitergain = 1.0f;
  c.autolevel = 1.0f;
  c.trendgain = 1.0;
  // m = 1: ceiling 30000; an input of 60000 would double it.
  for (int n = 0; n < 2000; ++n) limiterupdate(c, 60000.0f, 1.0f, 1.0f, 1);
  EXPECT_LE(c.limitergain, 1.07f * 0.5f);
  EXPECT_GT(c.limitergain, 0.45f);

  limiterupdate(c, 100.0f, 0.7f, 3.0f, 99);
  EXPECT_EQ(c.limitergain, 0.7f) << "outputmode 99 forces the gain";
}

TEST(LevelFollower, SuddenWetOnsetDropsToTheFloorAndASilenceRaisesToTheTop) {
  ChainMemories m{};
  m.followergain = 1.0f;
  m.followerslow = 50.0f;
  m.followerfast = 50.0f;
  float k = 0;
  for (int n = 0; n < 2000; ++n) {
    levelfollower(m, 30000.0f, true);
    k = m.followergain;
  }
  EXPECT_NEAR(k, 0.06f, 1e-6f);
  // Silence: the fast envelope falls below the slow one, and the gain rises
  // toward 1.4 until the slow envelope catches up.
  float highest = 0;
  for (int n = 0; n < 200000; ++n) {
    levelfollower(m, 0.0f, true);
    highest = std::max(highest, m.followergain);
  }
  EXPECT_GT(highest, 1.3f);
  EXPECT_LE(highest, 1.4f + 1e-6f);
}

TEST(LoopMeasure, PassesTheFirstAndThirdOfEveryFourAndMeasuresOnTheFourth) {
  engineinit();
  ChainMemories &m = engine.chain;
  float got[8];
  for (int i = 0; i < 8; ++i) got[i] = loopmeasure(m, 100.0f + i);
  float want[8] = {100, 0, 102, 0, 104, 0, 106, 0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(got[i], want[i]) << i;
  EXPECT_GT(engine.measurecos[0], 0.99f) << "tables filled on first measurement";
}

TEST(LoopMeasure, AToneInTheHistoryRaisesTestlevelSilenceDoesNot) {
  startengine();
  engine.loopteststate = 2;
  TestPlayback p(1500);
  p.run(std::vector<int16_t>(2 * 44100, 0));
  EXPECT_EQ(engine.testlevel.load(), 0.0f);
  std::vector<int16_t> tone(2 * 44100);
  for (size_t i = 0; i < tone.size(); ++i)
    tone[i] = static_cast<int16_t>(std::lround(8000 * std::cos(3014.8194357241427 * (i / 2) / 44100.0)));
  p.run(tone);
  EXPECT_GT(engine.testlevel.load(), 100.0f);
  EXPECT_GT(engine.testpeak.load(), 7000.0f);
  EXPECT_EQ(engine.inputpeak.load(), 0.0f) << "the main chain does not run during the test";
}

TEST(ToneClock, NeverPassesOneThousandSeconds) {
  startengine();
  engine.chain.tonetime = 999.9999;
  TestPlayback p(400);
  p.run(std::vector<int16_t>(2 * 44100, 0));
  EXPECT_LT(engine.chain.tonetime, 1000.0);
  EXPECT_NEAR(engine.chain.tonetime, 999.9999 + 1.0 - 999.9991614149886, 1e-6);
}

}  // namespace
