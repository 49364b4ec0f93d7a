// ringout's sound: what passes unchanged, the first sample worked out by hand,
// the channel sets and the echo's path, the limiter's bound, the ring-out
// boost after a loud passage, and robustness against bad samples and
// unranged settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

#include "ringout/ringoutdsp.h"

namespace {

// One ringout instance with its own ~51 MB of lines, as one loaded module.
struct Ringout {
  Ringout() : lines(std::make_unique<RingoutLines>()), state(std::make_unique<RingoutState>()) {
    ringoutstart(*state, *lines);
  }
  float proc(float x) { return ringoutproc(*state, params, x); }
  std::unique_ptr<RingoutLines> lines;
  std::unique_ptr<RingoutState> state;
  RingoutParams params;
};

// A stereo music-like test signal: two detuned partials per channel under a
// slow swell, plus a little deterministic noise; 16-bit scale.
float music(int call) {
  uint32_t seed = static_cast<uint32_t>(call) * 2654435761u;
  seed ^= seed >> 13;
  seed *= 1664525u;
  const double t = (call / 2) / 44100.0;
  const double f = (call % 2 == 0) ? 220.0 : 330.0;
  const double swell = 0.6 + 0.4 * std::sin(2 * std::numbers::pi * 0.7 * t);
  const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 300.0;
  return static_cast<float>(swell * (6000 * std::sin(2 * std::numbers::pi * f * t) + 3000 * std::sin(2 * std::numbers::pi * 2.01 * f * t)) +
                            noise);
}

bool statefinite(const RingoutState &st) {
  for (float e : st.echo)
    if (!std::isfinite(e)) return false;
  for (const RingoutChannel &ch : st.set) {
    for (int i = 0; i < highpassstages; i++)
      if (!std::isfinite(ch.lp[i]) || !std::isfinite(ch.hp[i])) return false;
    for (double v : {ch.Q, ch.J, ch.K, ch.P, ch.R, ch.G, ch.M, ch.T1, ch.T2})
      if (!std::isfinite(v)) return false;
  }
  for (double v : {st.L, st.A, st.B, st.C, st.S, st.E, st.D, st.F})
    if (!std::isfinite(v)) return false;
  return true;
}

TEST(RingoutPassesUnchanged, WhenSwitchedOffTheStateRestsButTheToggleMoves) {
  Ringout r;
  for (int i = 0; i < 5000; i++) r.proc(music(i));  // some state to freeze
  const RingoutState before = *r.state;
  r.params.tdecayon = 0;
  for (int i = 0; i < 30001; i++) {  // an odd count: the toggle ends on the other channel
    const float x = music(i);
    ASSERT_EQ(r.proc(x), x);
  }
  EXPECT_EQ(r.state->pos, before.pos);
  EXPECT_EQ(r.state->set[0].n, before.set[0].n);
  EXPECT_EQ(r.state->set[1].lp[0], before.set[1].lp[0]);
  EXPECT_EQ(r.state->L, before.L);
  EXPECT_NE(r.state->toggle, before.toggle);
  // Switched on again, the next call belongs to set 2 (the shifted toggle).
  r.params.tdecayon = 1;
  r.proc(1000.0f);
  EXPECT_EQ(r.state->set[0].n, before.set[0].n);
  EXPECT_EQ(r.state->set[1].n, before.set[1].n + 1);
}

TEST(RingoutPassesUnchanged, RateZeroFeedsNothingBackButTheLoopRuns) {
  Ringout r;
  r.params.rate = 0.0f;
  r.params.gain = 99.0f;
  for (int i = 0; i < 60000; i++) {
    const float x = music(i);
    ASSERT_EQ(r.proc(x), x);
  }
  EXPECT_EQ(r.state->pos, 60000 % echolength);
  EXPECT_EQ(r.state->set[0].n, 30000);
  EXPECT_NE(r.state->L, 0.0);
}

TEST(RingoutPassesUnchanged, GainZeroKeepsTheProcessedCopySilent) {
  Ringout r;
  r.params.gain = 0.0f;
  for (int i = 0; i < 60000; i++) {
    const float x = music(i);
    ASSERT_EQ(r.proc(x), x);
  }
  EXPECT_EQ(r.state->L, 0.0);
}

TEST(RingoutFirstSample, WorkedOutByHand) {
  Ringout r;
  // y = 1200 / 0.12 = 10000 enters set 1's cascade; only stage 0 has moved,
  // so the cascade's output, and everything after it, is still 0.
  EXPECT_EQ(r.proc(1200.0f), 1200.0f);
  const RingoutState &st = *r.state;
  const RingoutChannel &left = st.set[0];
  EXPECT_EQ(st.toggle, 1);
  EXPECT_FLOAT_EQ(left.lp[0], 33.0f);    // 10000 x 0.0033
  EXPECT_FLOAT_EQ(left.hp[0], 9967.0f);  // 10000 - 33
  EXPECT_EQ(left.hp[4], 0.0f);
  EXPECT_DOUBLE_EQ(st.C, 0.1);           // (25 + 0 - 0) x 0.004
  EXPECT_DOUBLE_EQ(st.S, 100.0);         // v = max(80.005, 100)
  EXPECT_DOUBLE_EQ(st.E, 0.85);          // A < C: 100/100.1 x 0.02, raised to 0.85
  EXPECT_DOUBLE_EQ(st.D, 1.7);
  EXPECT_DOUBLE_EQ(st.F, 0.05);          // 0.0001 raised to the floor
  EXPECT_EQ(left.n, 1);
  EXPECT_EQ(left.hold, 1);               // R = 0 is not below P - 7.5
  EXPECT_DOUBLE_EQ(left.G, 0.003);       // (1 - 0) x 0.003
  EXPECT_DOUBLE_EQ(left.M, 0.00003);     // 0.003 x 0.01
  EXPECT_DOUBLE_EQ(st.L, 0.12 * 0.01 * 0.85 * 0.0003);  // towards a, as |y a| = 0 is not above t
  EXPECT_EQ(st.pos, 1);
  EXPECT_EQ(st.set[1].n, 0);             // set 2 has not moved
  EXPECT_EQ(st.set[1].lp[0], 0.0f);
}

TEST(RingoutChannels, TheCascadeDelaysFourFramesAndTheSetsNeverMix) {
  Ringout r;
  for (int frame = 0; frame < 6; frame++) {
    r.proc(frame == 0 ? 1200.0f : 0.0f);  // an impulse on the left only
    r.proc(0.0f);
  }
  const double *leftring = r.lines->set[0].ring;
  for (int n = 1; n <= 4; n++) EXPECT_EQ(leftring[n], 0.0) << n;
  // The fifth left frame carries the impulse, barely reduced by five stages,
  // times the drive D (1.7 ... 1.8 this early).
  EXPECT_GT(leftring[5], 9800 * 1.7);
  EXPECT_LT(leftring[5], 10000 * 1.8);
  for (int n = 1; n <= 6; n++) EXPECT_EQ(r.lines->set[1].ring[n], 0.0) << n;
}

TEST(RingoutChannels, TheEchoOfTheLeftIsHeardOnTheRight17597CallsLater) {
  // Echo positions keep their parity (17,600 is even): a left call feeds back
  // the left's own echo but adds the echo two places past the write position,
  // which a right call stored, and the other way round.
  Ringout r;
  r.params.gain = 99.0f;
  std::vector<float> stored;
  for (int i = 0; i < 3 * echolength; i++) {
    const bool left = i % 2 == 0;
    const float x = left ? music(i) : 0.0f;
    const float out = r.proc(x);
    stored.push_back(r.state->echo[(r.state->pos + echolength - 1) % echolength]);
    if (left) {
      ASSERT_EQ(out, x) << i;  // the right echo stays silent
    } else {
      ASSERT_EQ(r.state->set[1].lp[0], 0.0f);
      const float expected = i >= 17597 ? static_cast<float>(0.0 + 1.0 * stored[i - 17597] * 0.9) : 0.0f;
      ASSERT_EQ(out, expected) << i;
    }
  }
  double loudest = 0;
  for (float v : stored) loudest = std::max(loudest, std::fabs(static_cast<double>(v)));
  EXPECT_GT(loudest, 100.0);  // the test heard a real echo
}

TEST(RingoutLimiter, StoredEchoNeverLeavesPlusMinus32700) {
  Ringout r;
  r.params.gain = 99.0f;
  r.params.decay = 3.0f;
  r.params.kdecay = 0.99f;
  for (int i = 0; i < 200000; i++) {
    const float x = (i / 2000) % 2 ? 32767.0f : -32768.0f;
    r.proc(i < 150000 ? x * 40.0f : 0.0f);
    ASSERT_LE(std::fabs(r.state->echo[(r.state->pos + echolength - 1) % echolength]), 32700.0f) << i;
  }
}

TEST(RingoutLimiter, AConstantInputDiesAwayInTheProcessedCopy) {
  Ringout r;
  r.params.gain = 99.0f;
  double early = 0, late = 0;
  for (int i = 0; i < 800000; i++) {
    const float out = r.proc(5000.0f);
    const double wet = std::fabs(out - 5000.0);
    if (i < 100000) early = std::max(early, wet);
    if (i >= 700000) late = std::max(late, wet);
  }
  EXPECT_GT(early, 100.0);
  EXPECT_LT(late, 1.0);
}

// A loud stereo passage, then silence; returns the largest boost M of set 1.
double boostafterpassage(RingoutParams &params, Ringout &r) {
  params.gain = 99.0f;
  double largest = 0;
  for (int i = 0; i < 2 * 44100 * 4; i++) {
    r.proc(i < 2 * 44100 ? music(i) * 3.0f : 0.0f);
    largest = std::max(largest, r.state->set[0].M);
  }
  return largest;
}

TEST(RingoutBoost, DecayOneNeverBoostsAndMSettlesAtOne) {
  Ringout r;
  EXPECT_LE(boostafterpassage(r.params, r), 1.0 + 1e-12);
  EXPECT_NEAR(r.state->set[0].M, 1.0, 1e-3);
  EXPECT_NEAR(r.state->set[1].G, 1.0, 1e-3);
}

TEST(RingoutBoost, ALongerDecayMixesTheRingLineInAsTheSoundDiesAway) {
  Ringout r;
  r.params.decay = 3.0f;
  EXPECT_GT(boostafterpassage(r.params, r), 1.05);
}

TEST(RingoutBoost, ADecayBelowOneIsRaisedInTheParameterOnlyWhileProcessing) {
  Ringout r;
  r.params.decay = 0.95f;  // what an empty list selection gives
  r.params.tdecayon = 0;
  r.proc(100.0f);
  EXPECT_EQ(r.params.decay.load(), 0.95f);
  r.params.tdecayon = 1;
  r.proc(100.0f);
  EXPECT_EQ(r.params.decay.load(), 1.0f);
}

TEST(RingoutRobustness, NonFiniteAndHugeSamplesDoNotPoisonTheLoop) {
  Ringout r;
  r.params.gain = 99.0f;
  r.params.decay = 2.0f;
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(), -1e38f};
  int call = 0;
  for (int round = 0; round < 3; round++) {
    for (int i = 0; i < 20000; i++) r.proc(music(call++));
    for (float x : bad) {
      const float out = r.proc(x);
      if (std::isnan(x)) {
        EXPECT_TRUE(std::isnan(out));  // the dry sample is still the input
      }
      call++;
    }
    ASSERT_TRUE(statefinite(*r.state));
  }
  for (int i = 0; i < 40000; i++) ASSERT_TRUE(std::isfinite(r.proc(music(call++)))) << i;
  EXPECT_TRUE(statefinite(*r.state));
}

TEST(RingoutRobustness, UnrangedTapSpacingsFromAFileStayInsideTheLines) {
  // ringout.ini does not range tdecay: negative, huge and odd spacings must
  // still address the ring line inside its 1,600,000 positions.
  for (float tdecay : {-20000.0f, -1e6f, 12345.6f, 3e38f, -3e38f, 500.0f}) {
    Ringout r;
    r.params.tdecay = tdecay;
    r.params.decay = 4.0f;
    for (int i = 0; i < 50000; i++) r.proc(music(i));
    EXPECT_TRUE(statefinite(*r.state)) << tdecay;
  }
}

TEST(RingoutInstances, TwoInstancesShareNothing) {
  Ringout a, b, alone;
  b.params.decay = 2.0f;
  for (int i = 0; i < 30000; i++) {
    const float x = music(i);
    const float fromalone = alone.proc(x);
    b.proc(-x);
    ASSERT_EQ(a.proc(x), fromalone) << i;
  }
}

}  // namespace
