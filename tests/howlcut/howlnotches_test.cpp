// howlcut's notch bank: the coefficients worked out from the bandpass
// formulas, the depth the running filter reaches, and the bank's life cycle
// (capture, deepening to the cap, reuse of the oldest, release, keeping).
#include <gtest/gtest.h>

#include <cmath>

#include "howlcut/howlnotches.h"
#include "tests/howlcut/howlmaterial.h"

namespace {

// Frames through the bank's ramp (as howlproc does once per frame).
void ramp(HowlState& st, int frames) {
  for (int i = 0; i < frames; i++) {
    howlrampframe(st);
    st.frames++;
  }
}

int activecount(const HowlState& st) {
  int count = 0;
  for (const HowlNotch& n : st.notch) count += n.active;
  return count;
}

TEST(HowlNotchBiquad, CoefficientsMatchWorkedValues) {
  // 1 kHz, 6 dB, Q 7 at 44.1 kHz:
  //   w0 = 2 pi 1000 / 44100 = 0.1424759, sin w0 = 0.1419943, cos w0 = 0.9898675
  //   alpha = sin w0 / 14 = 0.01014245, a0 = 1.01014245
  //   bandpass b0 = alpha / a0 = 0.01004061, a1 = -2 cos w0 / a0 = -1.95985719,
  //   a2 = (1 - alpha) / a0 = 0.97991877; c = 1 - 10^(-6/20) = 0.49881277
  //   notch = 1 - c BP: b0 = 1 - c 0.01004061 = 0.99499161, b1 = a1,
  //   b2 = a2 + c 0.01004061 = 0.98492716
  double c[5];
  howlnotchbiquad(1000.0, 6.0, c);
  EXPECT_NEAR(c[0], 0.99499161, 1e-8);
  EXPECT_NEAR(c[1], -1.95985719, 1e-8);
  EXPECT_NEAR(c[2], 0.98492716, 1e-8);
  EXPECT_NEAR(c[3], -1.95985719, 1e-8);
  EXPECT_NEAR(c[4], 0.97991877, 1e-8);
  // |H| at the centre is 10^(-6/20) = 0.50118723; an octave away it is nearly 1.
  auto gain = [&](double f) {
    const double w = howltestpi2 * f / 44100.0;
    const double nr = c[0] + c[1] * std::cos(w) + c[2] * std::cos(2 * w), ni = -c[1] * std::sin(w) - c[2] * std::sin(2 * w);
    const double dr = 1 + c[3] * std::cos(w) + c[4] * std::cos(2 * w), di = -c[3] * std::sin(w) - c[4] * std::sin(2 * w);
    return std::sqrt((nr * nr + ni * ni) / (dr * dr + di * di));
  };
  EXPECT_NEAR(gain(1000.0), 0.50118723, 1e-6);
  EXPECT_GT(gain(2000.0), 0.99);
  EXPECT_GT(gain(500.0), 0.99);
  // 1/5 octave wide at full depth: at 1000 * 2^(+-1/10) the full notch is about -3 dB.
  howlnotchbiquad(1000.0, 300.0, c);
  EXPECT_NEAR(gain(1000.0 * std::pow(2.0, 0.1)), std::sqrt(0.5), 0.02);
  EXPECT_NEAR(gain(1000.0 * std::pow(2.0, -0.1)), std::sqrt(0.5), 0.02);
}

TEST(HowlNotchBank, RunningNotchCutsItsCentreByItsDepth) {
  auto st = std::make_unique<HowlState>();
  howlstart(*st);
  howlfound(*st, 3000.0);
  ASSERT_EQ(activecount(*st), 1);
  double peak = 0.0;
  for (int i = 0; i < 44100; i++) {
    howlrampframe(*st);
    const double x = 10000.0 * std::sin(howltestpi2 * 3000.0 * i / 44100.0);
    const double left = howlfilter(*st, 0, x), right = howlfilter(*st, 1, -x);
    ASSERT_EQ(left, -right);  // each channel its own memories, the same notch
    if (i > 22050) peak = std::max(peak, std::fabs(left));
  }
  EXPECT_NEAR(st->notch[0].cut, 1.0 - std::pow(10.0, -howlfirstdepth / 20.0), 1e-12);
  EXPECT_NEAR(20.0 * std::log10(peak / 10000.0), -howlfirstdepth, 0.1);
}

TEST(HowlNotchBank, NearbyHowlDeepensItsNotchUpToTheCap) {
  auto st = std::make_unique<HowlState>();
  howlstart(*st);
  howlfound(*st, 1000.0);
  howlfound(*st, 1010.0);  // too soon after placing: only heard
  EXPECT_EQ(st->notch[0].depth, howlfirstdepth);
  for (int i = 0; i < 10; i++) {
    st->analyses += howlsettle;
    howlfound(*st, 1010.0);  // 1/69 octave off: moved onto it, and deeper
  }
  EXPECT_EQ(activecount(*st), 1);
  EXPECT_EQ(st->placed, 1);
  EXPECT_EQ(st->notch[0].frequency, 1010.0);
  EXPECT_EQ(st->notch[0].depth, howlmaxdepth);
  howlfound(*st, 1100.0);  // 1/7 octave away: a notch of its own
  EXPECT_EQ(activecount(*st), 2);
  EXPECT_EQ(st->placed, 2);
}

TEST(HowlNotchBank, FullBankFadesOutTheOldestAndReusesIt) {
  auto st = std::make_unique<HowlState>();
  howlstart(*st);
  for (int i = 0; i < howlnotchcount; i++) {
    howlfound(*st, 200.0 * std::pow(2.0, i / 4.0));
    ramp(*st, 100);
  }
  ramp(*st, 3000);
  ASSERT_EQ(activecount(*st), howlnotchcount);
  howlfound(*st, 9000.0);
  howlfound(*st, 9500.0);
  EXPECT_EQ(activecount(*st), howlnotchcount);
  EXPECT_EQ(st->notch[0].nextfrequency, 9000.0);  // the two oldest fade out first
  EXPECT_EQ(st->notch[1].nextfrequency, 9500.0);
  EXPECT_EQ(st->notch[0].frequency, 200.0);
  const double before = st->notch[0].cut;
  ramp(*st, 1);
  EXPECT_NEAR(before - st->notch[0].cut, howlcutramp, 1e-15);  // no jump
  ramp(*st, 3000);
  EXPECT_EQ(st->notch[0].frequency, 9000.0);
  EXPECT_EQ(st->notch[1].frequency, 9500.0);
  EXPECT_EQ(st->notch[0].nextfrequency, 0.0);
  EXPECT_EQ(activecount(*st), howlnotchcount);
  EXPECT_EQ(st->placed, howlnotchcount + 2);
}

TEST(HowlNotchBank, RestingNotchIsReleasedSlowlyButOneThatKeepsComingBackIsKept) {
  auto st = std::make_unique<HowlState>();
  howlstart(*st);
  const HowlSensitivityTuning& tuning = howlsensitivitytuning[howlmixed];
  howlfound(*st, 500.0);  // comes once
  howlfound(*st, 4000.0);
  for (int back = 0; back < howlkeephits - 1; back++) {  // comes back twice more after rests
    st->analyses += 3 * howlsettle;
    howlfound(*st, 4000.0);
  }
  EXPECT_EQ(st->notch[1].hits, howlkeephits);
  const double kept = st->notch[1].depth;
  ramp(*st, 3000);
  double depth = st->notch[0].depth;
  int64_t freed = -1;
  for (int a = 0; a < howlhold + 20 * howlreleasestep && freed < 0; a++) {
    st->analyses++;
    howljudge(*st, tuning);
    ramp(*st, howlhop);
    EXPECT_LE(st->notch[0].depth, depth);
    EXPECT_GE(st->notch[0].depth, depth - howldeepenstep);  // a step at a time
    depth = st->notch[0].depth;
    if (!st->notch[0].active) freed = st->analyses;
  }
  // Not before the hold, then 3 dB per step: 18 dB would take 6 steps, 6 dB takes 2.
  EXPECT_GE(freed, howlhold + howlreleasestep);
  EXPECT_LE(freed, howlhold + 2 * howlreleasestep + 2);
  EXPECT_EQ(st->notch[1].active, 1);
  EXPECT_EQ(st->notch[1].depth, kept);
}

// A notch given back to 0 dB stays in the bank, transparent, for one more
// release step: a howl found there meanwhile is its return (no new notch),
// and it takes its depth back at once. Without one the slot is freed.
TEST(HowlNotchBank, NotchGivenBackWaitsAStepAtNoDepthForItsHowlToReturn) {
  const HowlSensitivityTuning& tuning = howlsensitivitytuning[howlmixed];
  for (const bool returns : {true, false}) {
    SCOPED_TRACE(returns ? "the howl returns" : "it stays away");
    auto st = std::make_unique<HowlState>();
    howlstart(*st);
    howlfound(*st, 4000.0);
    ramp(*st, 3000);
    int64_t atzero = -1, freed = -1;
    for (int a = 0; a < howlhold + 20 * howlreleasestep && freed < 0; a++) {
      st->analyses++;
      howljudge(*st, tuning);
      ramp(*st, howlhop);
      const HowlNotch& n = st->notch[0];
      if (atzero < 0 && n.active && n.depth <= 0.0 && n.cut <= 0.0) atzero = st->analyses;
      if (!n.active) freed = st->analyses;
      if (returns && atzero >= 0 && st->analyses == atzero + howlreleasestep / 2) {
        howlfound(*st, 4010.0);
        break;
      }
    }
    ASSERT_GE(atzero, 0);
    if (returns) {
      EXPECT_EQ(st->placed, 1);
      EXPECT_EQ(st->notch[0].active, 1);
      EXPECT_EQ(st->notch[0].hits, 2);
      EXPECT_EQ(st->notch[0].depth, howlfirstdepth);
    } else {
      EXPECT_GT(freed, atzero + howlreleasestep / 2);
      EXPECT_LE(freed, atzero + howlreleasestep + 1);
    }
  }
}

}  // namespace
