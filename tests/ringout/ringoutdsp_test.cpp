// ringout's sound: what passes unchanged, the first sample worked out by hand,
// the channel sets and the echo's path, the limiter's ceiling, the ring line
// and the boost as a sound dies away, bad samples and unranged settings.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

#include "ringout/ringoutdsp.h"

namespace {

// One instance with its own ~51 MB of lines, as one loaded module.
struct Ringout {
  Ringout() { ringoutstart(*state, *lines); }
  float proc(float x) { return ringoutproc(*state, params, x); }
  float lastecho() const { return state->echo[(state->pos + echolength - 1) % echolength]; }
  std::unique_ptr<RingoutLines> lines = std::make_unique<RingoutLines>();
  std::unique_ptr<RingoutState> state = std::make_unique<RingoutState>();
  RingoutParams params;
};

// Stereo and music-like: two partials per channel under a swell, plus noise.
float music(int call) {
  const uint32_t hash = (static_cast<uint32_t>(call) * 2654435761u) >> 8;
  const double t = (call / 2) / 44100.0, f = call % 2 ? 330.0 : 220.0, pi2 = 2 * std::numbers::pi;
  return static_cast<float>((0.6 + 0.4 * std::sin(pi2 * 0.7 * t)) *
                                (6000 * std::sin(pi2 * f * t) + 3000 * std::sin(pi2 * 2.01 * f * t)) +
                            (hash / 16777216.0 - 0.5) * 300.0);
}

TEST(RingoutUnchanged, OffRateZeroAndGainZeroPassTheInputExactly) {
  Ringout off, rate0, gain0;
  off.params.tdecayon = 0;
  rate0.params.rate = 0.0f;
  rate0.params.gain = 99.0f;
  gain0.params.gain = 0.0f;
  for (int i = 0; i < 60001; i++) {
    const float x = music(i);
    ASSERT_EQ(off.proc(x), x);
    ASSERT_EQ(rate0.proc(x), x);
    ASSERT_EQ(gain0.proc(x), x);
  }
  EXPECT_EQ(rate0.state->set[0].n, 30001);  // rate 0: the loop still runs
  EXPECT_EQ(off.state->pos, 0);             // off: the state rests, but the toggle counts,
  off.params.tdecayon = 1;                  // so after an odd number of calls set 2 is next
  off.proc(1000.0f);
  EXPECT_EQ(off.state->set[0].n, 0);
  EXPECT_EQ(off.state->set[1].n, 1);
}

TEST(RingoutFirstSample, WorkedOutByHand) {
  Ringout r;
  r.state->B = 1000;  // as if a level had been heard
  // y = 1200 / 0.12 = 10000 enters set 1's cascade; only stage 0 has moved,
  // so the cascade's output is still 0.
  EXPECT_EQ(r.proc(1200.0f), 1200.0f);
  const RingoutState &st = *r.state;
  EXPECT_FLOAT_EQ(st.set[0].hp[0], 9967.0f);   // 10000 - 10000 x 0.0033
  EXPECT_DOUBLE_EQ(st.A, 2.955);              // u = 3: 3 x 985 x 0.001
  EXPECT_DOUBLE_EQ(st.C, 4.1);                // (25 + 1000) x 0.004, with B before its update
  EXPECT_DOUBLE_EQ(st.B, 997.0);
  EXPECT_DOUBLE_EQ(st.E, 0.85);               // A < C: 100/100.1 x 0.02, raised to 0.85
  EXPECT_DOUBLE_EQ(st.D, 1.7);
  EXPECT_EQ(st.set[0].hold, 1);               // R = 0 is not below P - 150 F
  EXPECT_DOUBLE_EQ(st.set[0].G, 0.003);       // towards 1 from 0
  EXPECT_DOUBLE_EQ(st.set[0].M, 0.00003);
  EXPECT_DOUBLE_EQ(st.L, 0.12 * 0.01 * 0.85 * 0.0003);  // towards a = 0.12 g e
}

TEST(RingoutStage, CrossfadesFromTheSampleAtM1ToTheRingMixAtM13) {
  // The cascade is primed to put out y = 20 - 0.066 and the ring line holds
  // W = 10 at p1 (19,300 frames back). The first call's limiter does not cap
  // such a small sample, so the echo stored is the stage's output times L.
  for (const double m0 : {1.15, 1.5}) {
    Ringout r;
    r.state->set[0].hp[3] = 20.0f;
    r.lines->set[0].ring[1 - 19300 + ringlength] = 10.0;
    r.state->set[0].G = r.state->set[0].M = m0;
    r.proc(0.0f);
    const double y = 20.0f - 0.066f, g = m0 + (1 - m0) * 0.003, m = m0 + (g - m0) * 0.01;
    const double w = 0.75 * y + (m - 0.75) * 10.0, s = (m - 1) / 0.3;
    const double out = m > 1.3 ? w : (1 - s) * m * y + s * w;
    EXPECT_NEAR(r.state->echo[0] / r.state->L, out, 1e-5 * out) << m0;
  }
}

TEST(RingoutChannels, TheLeftEchoIsHeardOnTheRightAndTheSetsNeverMix) {
  // Echo positions keep their parity (17,600 is even): a left call feeds back
  // the left's own echo but adds the one two places past the write position,
  // which a right call stored 17,597 calls earlier.
  Ringout r;
  r.params.gain = 99.0f;
  std::vector<float> stored;
  double loudest = 0;
  for (int i = 0; i < 3 * echolength; i++) {
    const float x = i % 2 ? 0.0f : music(i);
    const float out = r.proc(x);
    stored.push_back(r.lastecho());
    loudest = std::max(loudest, std::fabs(static_cast<double>(stored.back())));
    const float echo = i >= 17597 ? static_cast<float>(0.0 + 1.0 * stored[i - 17597] * 0.9) : 0.0f;
    ASSERT_EQ(out, i % 2 ? echo : x) << i;
    ASSERT_EQ(r.state->set[1].lp[0], 0.0f) << i;
  }
  EXPECT_GT(loudest, 100.0);
}

TEST(RingoutLimiter, TheEchoNeverPassesTheCeilingOfTheGain) {
  // With E capped at 1 in the limiter, a <= 0.12 g and the stored echo stays
  // within 1.07 x 30000 a^2: about 453 at gain 99, whatever the input does.
  const double a = 0.12 * (99.0f * 0.01), ceiling = 1.07 * 30000 * a * a;
  Ringout loud;
  loud.params.gain = 99.0f;
  loud.params.decay = 3.0f;
  loud.params.kdecay = 0.99f;
  double largeste = 0;
  for (int i = 0; i < 300000; i++) {  // very loud, then quieter (the level falls: E > 1), then silence
    const float level = i < 150000 ? 1.3e6f : i < 200000 ? 2e4f : 0.0f;
    loud.proc((i / 2000) % 2 ? level : -level);
    ASSERT_LE(std::fabs(loud.lastecho()), ceiling) << i;
    largeste = std::max(largeste, loud.state->E);
  }
  EXPECT_GT(largeste, 1.5);
}

TEST(RingoutRingLine, TapsAtSpacingsOf150And210TdecayAndSet2FeedsBackHarder) {
  // Frame 1 of each set: p1 = 1 - 19300, p2 = p1 - 150 x 100, p3 = p1 - 210 x 100,
  // each + 1,600,000. With 1000 at both taps, set 1 takes (400 + 370) x kdecay / 0.77
  // from ring[p1]; set 2 the same times (E + 10) / 11, with E held above 1 here.
  Ringout r;
  const int p1 = 1 - 19300 + ringlength, p2 = p1 - 15000, p3 = p1 - 21000;
  for (RingoutLine &line : r.lines->set) line.ring[p2] = line.ring[p3] = 1000.0;
  r.state->E = 1.6;
  r.proc(0.0f);
  EXPECT_NEAR(r.lines->set[0].ring[p1], -770.0 * (0.77f / 0.77), 1e-9);
  const double e = r.state->E;
  r.proc(0.0f);
  EXPECT_GT(e, 1.5);
  EXPECT_NEAR(r.lines->set[1].ring[p1], -770.0 * (0.77f * (r.state->E + 10) / 11 / 0.77), 1e-9);
}

// Largest boost M of set 1 over a loud passage and 3 s of silence after it.
double boostafterpassage(Ringout &r, float decay) {
  r.params.gain = 99.0f;
  r.params.decay = decay;
  double largest = 0;
  for (int i = 0; i < 2 * 44100 * 4; i++) {
    r.proc(i < 2 * 44100 ? 3.0f * music(i) : 0.0f);
    largest = std::max(largest, r.state->set[0].M);
  }
  return largest;
}

TEST(RingoutBoost, OnlyADecayAboveOneMixesTheRingLineIn) {
  Ringout plain, long3;
  EXPECT_LE(boostafterpassage(plain, 1.0f), 1.0 + 1e-12);
  EXPECT_NEAR(plain.state->set[1].M, 1.0, 1e-3);
  EXPECT_GT(boostafterpassage(long3, 3.0f), 1.3);  // fully crossed over to the ring mix
  // A decay below 1 (an empty list selection gives 0.95) is raised in the parameter.
  Ringout low;
  low.params.decay = 0.95f;
  low.proc(100.0f);
  EXPECT_EQ(low.params.decay.load(), 1.0f);
}

TEST(RingoutRobustness, BadSamplesAndUnrangedSpacingsCannotBreakTheState) {
  Ringout r;
  r.params.gain = 99.0f;
  r.params.decay = 2.0f;
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  int call = 0;
  for (float tdecay : {-1e6f, 12345.6f, 3e38f, 100.0f}) {  // ringout.ini does not range tdecay
    r.params.tdecay = tdecay;
    for (int i = 0; i < 20000; i++) r.proc(music(call++));
    EXPECT_TRUE(std::isnan(r.proc(nan)));  // the dry part is still the input
    for (float bad : {inf, -inf, std::numeric_limits<float>::max(), -1e38f}) r.proc(bad);
  }
  for (int i = 0; i < 40000; i++) ASSERT_TRUE(std::isfinite(r.proc(music(call++)))) << i;
  for (const RingoutChannel &ch : r.state->set)
    EXPECT_TRUE(std::isfinite(ch.lp[0] + ch.hp[4] + ch.P + ch.R + ch.M + r.state->E + r.state->L));
}

}  // namespace
