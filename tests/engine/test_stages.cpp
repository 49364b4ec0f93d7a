// The stages one by one, on their own memories: filters, comb, wet extraction,
// the level-control loops, the loop-test measurement path.
#include <gtest/gtest.h>

#include <cmath>

#include "chainharness.h"
#include "engine/filters.h"
#include "engine/levelcontrol.h"
#include "engine/loopmeasure.h"

namespace {

// Peak of the second half of a sine run through a one-channel filter.
template <typename Filter>
double sinegain(Filter filter, double hz, int samples) {
  double peak = 0;
  for (int n = 0; n < samples; ++n) {
    float y = filter(static_cast<float>(10000 * std::sin(2 * M_PI * hz * n / 44100.0)));
    if (n > samples / 2) peak = std::max(peak, std::fabs(double(y)));
  }
  return peak / 10000;
}

TEST(Filters, DcBlockerPassesAudioAtItsGainAndRemovesDc) {
  HighpassChain<6> c{};
  // One channel sees every other sample, so its own rate is 44100 per second.
  EXPECT_NEAR(sinegain([&](float x) { return dcblocker(c, x); }, 1000, 200000), std::pow(0.985, 7), 0.003);
  HighpassChain<6> d{};
  float y = 0;
  for (int n = 0; n < 400000; ++n) y = dcblocker(d, 10000.0f);
  EXPECT_LT(std::fabs(y), 1.0f) << "a constant decays to near zero";
}

TEST(Filters, LowCutPassesAudioAndCutsRumble) {
  HighpassChain<2> c{};
  EXPECT_NEAR(sinegain([&](float x) { return lowcut(c, x); }, 1000, 100000), std::pow(0.985, 3), 0.006);
  HighpassChain<2> d{};
  EXPECT_LT(sinegain([&](float x) { return lowcut(d, x); }, 3, 400000), 0.25);
}

TEST(Filters, CombAveragesWithTheSample4000Older) {
  ChainMemories m{};
  static float ring[combsize];
  std::vector<float> out;
  for (int n = 0; n < 9000; ++n) out.push_back(combaverage(m, ring, n == 10 ? 1000.0f : 0.0f));
  EXPECT_FLOAT_EQ(out[10], 498.0f);
  EXPECT_FLOAT_EQ(out[4010], 498.0f);
  for (int n = 0; n < 9000; ++n)
    if (n != 10 && n != 4010) ASSERT_EQ(out[n], 0.0f) << n;
}

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

TEST(AutoLevel, AFullScalePeakSinksItAtTheFastRate) {
  ChainMemories m{};
  m.autolevel = 0.5f;
  m.inputpeak = 32767.0f;  // the target is 0
  autolevelupdate(m, 1.0f);
  EXPECT_NEAR(m.autolevel, 0.5 * (1 - 0.001), 1e-7);
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
