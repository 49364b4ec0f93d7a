// The loop against closed forms: a room that is one echo of gain g becomes
// unstable at a forward gain of 1/g, whatever the delays; the howl criterion
// fires on a loop that grows and stays quiet on one that doesn't; without a
// feedback path the output is the source times the gain, a round trip later,
// and the plug-in sees the live program's blocks, interleaved.
#include "bench/howlsim/closedloop.h"

#include <gtest/gtest.h>

#include <cmath>

#include "bench/howlsim/simrandom.h"
#include "bench/howlsim/stablegain.h"

namespace {

// White noise 50 dB below full scale: an echo's howl is as broad as the
// noise, so only the clip at full scale limits it, and it needs the room.
std::vector<float> noise(double seconds, uint64_t seed) {
  SimRandom r{seed};
  std::vector<float> x(static_cast<size_t>(seconds * 44100));
  for (float& v : x) v = static_cast<float>(104 * simgauss(r));
  return x;
}

std::vector<float> echo(double gain, int delay) {
  std::vector<float> h(delay + 1, 0.0f);
  h[delay] = static_cast<float>(gain);
  return h;
}

TEST(ClosedLoop, SingleEchoBecomesUnstableAtOneOverItsGain) {
  // 1/g = 12.25 dB: between the search's 0.5 dB grid points, so the loop at
  // 12.0 dB is stable (loop gain 0.97) and at 12.5 dB it grows.
  const double onebyg = 12.25;
  const std::vector<float> source = noise(6, 1);
  struct Case {
    LoopSetup setup;
    int delay;
  } cases[] = {{setuplive, 40}, {setup10ms, 700}};
  for (const Case& c : cases) {
    const std::vector<float> path = echo(std::pow(10.0, -onebyg / 20), c.delay);
    const StableGain s = searchmsg(c.setup, source, path, simnone(), 0.0, 4.0);
    ASSERT_TRUE(s.found);
    EXPECT_NEAR(s.msg, onebyg, 0.5) << c.setup.name << ", echo after " << c.delay;
    EXPECT_DOUBLE_EQ(s.unstable, s.msg + 0.5);
  }
}

TEST(HowlCriterion, FiresOnAGrowingLoopAndNotOnAStableOne) {
  const std::vector<float> source = noise(6, 2), path = echo(0.25, 300);  // 1/g = 12.04 dB
  LoopRun run;
  run.source = &source;
  run.path = &path;

  run.gainstart = run.gainend = 13.0;
  const LoopResult grows = runloop(setuplive, run, simnone());
  EXPECT_TRUE(grows.meter.unstable);
  EXPECT_GT(grows.meter.howlframes, grows.meter.frames / 3);
  // Loop gain 0.96 dB above 1 per round trip of 2364 samples: 18 dB/s. The
  // criterion needs 15 dB, then 1 s more.
  EXPECT_LT(meterseconds(grows.meter.unstableframe), 3.0);

  run.gainstart = run.gainend = 9.0;  // loop gain 0.49
  const LoopResult stable = runloop(setuplive, run, simnone());
  EXPECT_FALSE(stable.meter.unstable);
  EXPECT_EQ(stable.meter.howlframes, 0);

  // A loop that would grow is stopped at the loudspeaker's clip, and the run
  // ends early once it is called unstable.
  run.gainstart = run.gainend = 20.0;
  run.stopwhenunstable = true;
  const LoopResult stopped = runloop(setuplive, run, simnone());
  EXPECT_TRUE(stopped.meter.unstable);
  EXPECT_LT(stopped.length, static_cast<int>(source.size()) / 2);
  for (float v : stopped.output) ASSERT_LE(std::fabs(v), 32768.0f);
}

// A test plug-in: doubles the left channel and records what it was handed.
struct Recorder {
  int calls = 0, largest = 0, mismatched = 0;
};
void recstart(void* c) { *static_cast<Recorder*>(c) = Recorder{}; }
void recblock(void* c, float* x, int frames) {
  Recorder& r = *static_cast<Recorder*>(c);
  r.calls++;
  r.largest = std::max(r.largest, frames);
  for (int j = 0; j < frames; ++j) {
    r.mismatched += x[2 * j] != x[2 * j + 1];
    x[2 * j] *= 2;
  }
}
int recplaced(void*) { return 7; }
int recactive(void*) { return 3; }

TEST(ClosedLoop, WithoutAFeedbackPathTheOutputIsTheSourceARoundTripLater) {
  const std::vector<float> source = noise(2, 3);
  Recorder rec;
  const SimPlugin stub{recstart, recblock, recplaced, recactive, &rec};
  for (const LoopSetup& setup : {setuplive, setup10ms}) {
    LoopRun run;
    run.source = &source;
    run.noise = -200;
    run.gainstart = run.gainend = -6.0;
    const LoopResult r = runloop(setup, run, stub);
    ASSERT_EQ(r.output.size(), source.size());
    const double gain = std::pow(10.0, -6.0 / 20) * 1.5;  // (2L + R) / 2
    double worst = 0;
    for (size_t t = 0; t < source.size(); ++t) {
      const double want = t < static_cast<size_t>(setup.roundtrip) ? 0 : gain * source[t - setup.roundtrip];
      worst = std::max(worst, std::fabs(r.output[t] - want));
    }
    EXPECT_LT(worst, 0.01) << setup.name;
    EXPECT_EQ(rec.largest, setup.block);
    EXPECT_EQ(rec.calls, static_cast<int>((source.size() + setup.block - 1) / setup.block));
    EXPECT_EQ(rec.mismatched, 0);
    EXPECT_EQ(r.placed, 7);
    EXPECT_EQ(r.active, 3);
    EXPECT_EQ(r.meter.howlframes, 0);
  }
}

TEST(ClosedLoop, AnImpulseReturnsAfterEachRoundTripAndEcho) {
  // Forward gain 0.5, echo 0.5 after 100 samples: the loudspeaker plays
  // 500 at D, 125 at 2D + 100, 31.25 at 3D + 200 ... and nothing between.
  std::vector<float> source(20000, 0.0f);
  source[0] = 1000;
  const std::vector<float> path = echo(0.5, 100);
  for (const LoopSetup& setup : {setuplive, setup10ms}) {
    LoopRun run;
    run.source = &source;
    run.path = &path;
    run.noise = -300;
    run.gainstart = run.gainend = 20 * std::log10(0.5);
    const LoopResult r = runloop(setup, run, simnone());
    const int d = setup.roundtrip;
    std::vector<double> want(r.output.size(), 0.0);
    double amplitude = 500;
    for (int k = 1; k * d + (k - 1) * 100 < static_cast<int>(want.size()); ++k, amplitude *= 0.25)
      want[k * d + (k - 1) * 100] = amplitude;
    for (size_t t = 0; t < want.size(); ++t) ASSERT_NEAR(r.output[t], want[t], 0.01) << setup.name << ", sample " << t;
  }
}

}  // namespace
