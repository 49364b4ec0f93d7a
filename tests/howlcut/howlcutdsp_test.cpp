// howlcut's per-sample contract: off is the input itself, a run repeats bit
// for bit, bad samples never stick, decayed memories are flushed to zero,
// reset drops every notch, and the display shows what the sound does.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/howlcut/howlmaterial.h"

namespace {

// Music with a howl at 2731 Hz growing 40 dB/s from 1 s on, up to full scale.
float howling(int64_t call) {
  const double t = static_cast<double>(call / 2) / 44100.0;
  const double a = t < 1.0 ? 0.0 : std::min(3.0 * std::pow(10.0, 2.0 * (t - 1.0)), 30000.0);
  return static_cast<float>(howltestmusic(call) + a * std::sin(howltestpi2 * 2731.0 * t));
}

uint32_t bitsof(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

TEST(HowlProc, OffPassesEverySampleBitForBit) {
  Howlcut h;
  h.params.on = 0;
  const float odd[] = {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity(), -0.0f,
                       FLT_MAX, 1e-42f, -3.5f};
  for (int64_t i = 0; i < 44100 * 6; i++) {
    const float x = i % 9973 < 6 ? odd[i % 9973] : howling(i);
    ASSERT_EQ(bitsof(h.proc(x)), bitsof(x)) << i;
  }
  EXPECT_EQ(h.state->placed, 0);  // off: nothing is placed, though the howl is plain
  EXPECT_GT(h.display->analyses.load(), 100);  // while the display stays live
}

TEST(HowlProc, SameInputGivesTheSameOutputBitForBit) {
  Howlcut a, b;
  for (int64_t i = 0; i < 44100 * 8; i++) ASSERT_EQ(bitsof(a.proc(howling(i))), bitsof(b.proc(howling(i)))) << i;
  EXPECT_GT(a.state->placed, 0);  // the run did place notches
}

TEST(HowlProc, NonFiniteSamplesCountAsSilenceAndNeverStick) {
  // The same run twice: once with bursts of NaN and infinities, once with
  // zeros in their place. Every output is finite and the two agree bit for bit.
  Howlcut bad, zero;
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  for (int64_t i = 0; i < 44100 * 8; i++) {
    const int64_t burst = i % 100000;
    const bool odd = burst >= 5000 && burst < 5300;
    const float x = odd ? (burst % 3 == 0 ? nan : burst % 3 == 1 ? inf : -inf) : howling(i);
    const float y = bad.proc(x);
    ASSERT_TRUE(std::isfinite(y)) << i;
    ASSERT_EQ(bitsof(y), bitsof(zero.proc(odd ? 0.0f : x))) << i;
  }
  EXPECT_GT(bad.state->placed, 0);
}

TEST(HowlProc, HugeFiniteInputsStayFinite) {
  Howlcut h;
  for (int64_t i = 0; i < 44100 * 8; i++) {
    const bool huge = (i / 30000) % 4 == 3;
    const float x = huge ? (i % 2 ? FLT_MAX : -FLT_MAX) * (i % 7 == 0 ? 1.0f : 0.5f) : howling(i);
    ASSERT_TRUE(std::isfinite(h.proc(x))) << i;
  }
  for (const HowlMemory& m : h.state->memory[0]) ASSERT_TRUE(std::isfinite(m.v1) && std::isfinite(m.v2));
  for (const float v : h.state->history[h.state->newest]) ASSERT_TRUE(std::isfinite(v));
}

TEST(HowlProc, MemoriesRingingOutInSilenceEndAtZeroNotSubnormal) {
  Howlcut h;
  for (int64_t i = 0; i < 44100 * 5; i++) h.proc(howling(i));
  ASSERT_GT(h.activenotches(), 0);
  for (int64_t i = 0; i < 44100 * 2 * 3; i++) h.proc(i % 2 ? 1e-39f : 0.0f);  // near silence, subnormal floats
  for (int64_t i = 0; i < 44100 * 2 * 3; i++) h.proc(0.0f);
  for (const auto& channel : h.state->memory)
    for (const HowlMemory& m : channel) {
      EXPECT_EQ(m.v1, 0.0);
      EXPECT_EQ(m.v2, 0.0);
    }
}

TEST(HowlProc, ResetDropsEveryNotchAndKeepsTheCount) {
  Howlcut h;
  int64_t i = 0;
  for (; i < 44100 * 5; i++) h.proc(howling(i));
  const int32_t placed = h.state->placed;
  ASSERT_GT(h.activenotches(), 0);
  h.params.reset = 1;
  h.proc(howling(i++));
  EXPECT_EQ(h.params.reset.load(), 0);
  EXPECT_EQ(h.activenotches(), 0);
  EXPECT_EQ(h.state->placed, placed);
  // Just after a reset the output is the input (no notch, memories cleared).
  for (int j = 0; j < 1000; j++, i++) ASSERT_EQ(h.proc(howling(i)), howling(i));
}

TEST(HowlDisplay, ShowsTheSpectrumAndEachNotch) {
  Howlcut h;
  for (int64_t i = 0; i < 44100 * 2 * 5; i++) h.proc(howling(i));
  const HowlDisplay& d = *h.display;
  EXPECT_EQ(d.placed.load(), h.state->placed);
  EXPECT_GT(d.analyses.load(), 200);
  // The spectrum's loudest point is at the howl (now near full scale: near 0 dB).
  int loudest = 0;
  for (int i = 1; i < howldisplaybins; i++)
    if (d.spectrum[i].load() > d.spectrum[loudest].load()) loudest = i;
  EXPECT_NEAR(std::log2(howldisplayfrequency(loudest) / 2731.0), 0.0, 0.02);
  EXPECT_GT(d.spectrum[loudest].load(), -6.0f);
  EXPECT_LT(d.spectrum[loudest].load(), 3.0f);
  int shown = 0;
  for (const HowlNotchView& v : d.notch) {
    if (v.frequency.load() == 0.0f) continue;
    shown++;
    EXPECT_NEAR(v.frequency.load(), 2731.0f, 10.0f);
    EXPECT_GT(v.depth.load(), 0.0f);
    EXPECT_LE(v.depth.load(), howlmaxdepth + 0.01);
    EXPECT_GT(v.age.load(), 0.0f);
    EXPECT_LT(v.age.load(), 4.0f);
  }
  EXPECT_EQ(shown, h.activenotches());
}

}  // namespace
