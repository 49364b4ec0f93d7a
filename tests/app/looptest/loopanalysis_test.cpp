// The loop test's analysis on synthetic recordings: what the room "brings back"
// is made here (the tone at a known amplitude, with faults injected), fed to the
// engine's measurement path through processblock, and turned into a ceiling by
// the loop test's own arithmetic in the order looptest() runs it: a quiet phase,
// the tone phase until the peak passes 2000, 100 settling steps with the tone
// and 20 without, the quiet level taken off, then loopceiling.
//
// The expected ceiling comes from the tone's amplitude A alone:
//   testlevel settles at 0.75 x mean |A cos| = 0.75 x (2 / pi) x A, since the
//     measurement sums 60 points one tone period apart (the same phase) and its
//     moments fall on every phase in turn;
//   each settling step scales testlevel by 0.8 and the engine then measures
//     25 ms (551 measurements, each moving it 0.0021 of the way) before the step
//     reads it; with r = 0.9979^551 the reading settles where scaling and
//     recovery balance, L = S (1 - r) + 0.8 L r, that is L = S (1 - r) / (1 - 0.8 r),
//     and the loop level (which follows the readings up) with it;
//   testgain = loopceiling(that loop level).
// Every case states how far its level and ceiling may lie from that.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "app/looptest/loopvalues.h"
#include "engine/loopmeasure.h"
#include "tests/engine/chainharness.h"

namespace {

constexpr double tonerate = 3014.8194357241427;  // radians per second of the test tone
constexpr int stepframes = 1102;                 // 25 ms: one settling step
constexpr int blockframes = 441;                 // 10 ms capture blocks

double expectedlooplevel(double amplitude) {
  const double steady = 0.75 * (2 / M_PI) * amplitude;
  const double r = std::pow(1 - 0.0021, stepframes / 2);
  return steady * (1 - r) / (1 - 0.8 * r);
}

// A recording, both channels alike, frame by frame.
struct Recording {
  std::vector<double> frames;
  void tone(double amplitude, int count, double delayframes = 0) {
    const size_t first = frames.size();
    for (int i = 0; i < count; ++i) {
      const double t = (static_cast<double>(first + i) - delayframes) / 44100;
      frames.push_back(t < 0 ? 0.0 : amplitude * std::cos(tonerate * t));
    }
  }
  void silence(int count) { frames.insert(frames.end(), count, 0.0); }
};

// What the room adds to a recording, on top of the tone (and alone in the quiet
// phase), and what a faulty capture does to it.
struct Faults {
  double whitenoise = 0;          // RMS of Gaussian noise
  double hum = 0;                 // amplitude of 50 Hz, and a third of it at 150 Hz
  int popat = -1;                 // settling step that starts with a full-scale click
  int dropat = -1, dropframes = 0;  // settling step that loses frames
  int addat = -1, addframes = 0;    // settling step that repeats frames
  double delayframes = 0;         // the tone comes back this late
};

class Room {
 public:
  explicit Room(const Faults &f) : f_(f), noise_(20261207) {}

  // The room's own sound over `count` frames from frame `at` of the run.
  double background(size_t at) {
    const double t = static_cast<double>(at) / 44100;
    double v = 0;
    if (f_.whitenoise > 0) v += f_.whitenoise * gauss_(noise_);
    if (f_.hum > 0) v += f_.hum * (std::sin(2 * M_PI * 50 * t) + std::sin(2 * M_PI * 150 * t) / 3);
    return v;
  }

  // Feeds frames to the engine in capture blocks.
  void play(TestPlayback &p, const std::vector<double> &frames) {
    std::vector<int16_t> block;
    for (double v : frames) {
      const double s = std::clamp(std::round(v + background(clock_++)), -32768.0, 32767.0);
      block.push_back(static_cast<int16_t>(s));
      block.push_back(static_cast<int16_t>(s));
      if (block.size() == 2 * blockframes) {
        p.run(block);
        block.clear();
      }
    }
    if (!block.empty()) p.run(block);
  }

  // One settling step's recording: 25 ms of tone (or silence), with the faults
  // planned for step n.
  std::vector<double> step(int n, double amplitude) {
    Recording r;
    r.tone(amplitude, stepframes, f_.delayframes - tonephase_);
    tonephase_ += stepframes;
    if (n == f_.popat) r.frames[0] = 32767;
    if (n == f_.dropat) {  // the capture lost frames: the tone jumps ahead
      tonephase_ += f_.dropframes;
      r = Recording{};
      r.tone(amplitude, stepframes, f_.delayframes - (tonephase_ - stepframes));
    }
    if (n == f_.addat) {  // frames repeated: the tone falls behind
      std::vector<double> again(r.frames.begin(), r.frames.begin() + f_.addframes);
      r.frames.insert(r.frames.begin() + f_.addframes, again.begin(), again.end());
      tonephase_ -= f_.addframes;
    }
    return r.frames;
  }

  double tonephase_ = 0;  // frames of tone the room has played back so far

 private:
  Faults f_;
  std::mt19937 noise_;
  std::normal_distribution<double> gauss_;
  size_t clock_ = 0;
};

struct Outcome {
  float quietlevel, looplevel, testpeak, testgain;
  bool loopfound;
};

// looptest()'s arithmetic with this room in place of the devices.
Outcome runlooptest(double amplitude, const Faults &faults) {
  startengine();
  engine.loopteststate = 2;
  TestPlayback p(blockframes);
  Room room(faults);
  Outcome o{};

  engine.testlevel = 0.0f;  // quiet phase: 1 s of the room alone
  Recording quiet;
  quiet.silence(44100);
  room.play(p, quiet.frames);
  o.quietlevel = engine.testlevel;

  engine.testlevel = 0.0f;  // tone phase: 20 ms at a time until the peak passes 2000
  engine.testpeak = 0.0f;
  for (int chunk = 0; chunk < 100 && !o.loopfound; ++chunk) {
    Recording r;
    r.tone(amplitude, 882, faults.delayframes - room.tonephase_);
    room.tonephase_ += 882;
    room.play(p, r.frames);
    o.loopfound = engine.testpeak > 2000.0f;
  }
  float looplevel = 0.0f;
  for (int n = 0; n < 120; ++n) {  // 100 steps with the tone, 20 without
    engine.testlevel = engine.testlevel * 0.8;
    room.play(p, room.step(n, n < 100 ? amplitude : 0.0));
    looplevel = settlestep(looplevel, engine.testlevel);
  }
  if (!noisetoostrong(o.quietlevel, looplevel)) looplevel -= o.quietlevel;
  o.looplevel = looplevel;
  o.testpeak = engine.testpeak;
  o.testgain = loopceiling(looplevel);
  return o;
}

// Level and ceiling within `tolerance` (a fraction) of the expected ones.
void expectformula(double amplitude, const Outcome &o, double tolerance) {
  const double level = expectedlooplevel(amplitude);
  EXPECT_TRUE(o.loopfound);
  EXPECT_NEAR(o.looplevel, level, tolerance * level);
  const double ceiling = loopceiling(static_cast<float>(level));
  EXPECT_NEAR(o.testgain, ceiling, tolerance * ceiling);
}

TEST(LoopAnalysis, ACleanToneGivesTheFormulasCeilingAtEveryLevel) {
  // Within 1 %: the tone alone. 2400 and 4000 lie below the ceiling's knee at
  // a loop level of 1800, 8000 above it.
  for (double amplitude : {2400.0, 4000.0, 8000.0}) {
    SCOPED_TRACE(amplitude);
    const Outcome o = runlooptest(amplitude, Faults{});
    expectformula(amplitude, o, 0.01);
    EXPECT_EQ(o.quietlevel, 0.0f);
    EXPECT_NEAR(o.testpeak, amplitude, 1.0) << "the peak is the tone's own";
  }
}

TEST(LoopAnalysis, AToneThatComesBackLateMeasuresTheSame) {
  // Within 1 %: 10 ms and a third of a period late; only the phase moves.
  for (double delay : {441.0, 30.6}) {
    Faults f;
    f.delayframes = delay;
    SCOPED_TRACE(delay);
    expectformula(2400, runlooptest(2400, f), 0.01);
  }
}

TEST(LoopAnalysis, APopShowsInThePeakButNotInTheCeiling) {
  // Within 1 %: one full-scale click among the settling steps moves the
  // level by under 1 %; the peak meter shows it whole.
  Faults f;
  f.popat = 40;
  const Outcome o = runlooptest(2400, f);
  expectformula(2400, o, 0.01);
  EXPECT_EQ(o.testpeak, 32767.0f);
}

TEST(LoopAnalysis, DroppedAndRepeatedFramesLeaveTheCeiling) {
  // Within 2 %: 100 frames lost, or 37 repeated, in the middle of settling;
  // the phase jump costs a dip for the 125 ms the measurement spans, which the
  // loop level (it only rises) does not follow.
  Faults dropped;
  dropped.dropat = 50;
  dropped.dropframes = 100;
  expectformula(2400, runlooptest(2400, dropped), 0.02);
  Faults repeated;
  repeated.addat = 50;
  repeated.addframes = 37;
  expectformula(2400, runlooptest(2400, repeated), 0.02);
}

TEST(LoopAnalysis, RoomNoiseIsMeasuredInTheQuietPhaseAndTakenOff) {
  // White noise at a tenth of the tone (RMS 240 against 2400, -20 dB):
  // within 3 %. It shows in the quiet phase (about 0.077 of its RMS).
  Faults white;
  white.whitenoise = 240;
  const Outcome w = runlooptest(2400, white);
  expectformula(2400, w, 0.03);
  EXPECT_NEAR(w.quietlevel, 0.077 * 240, 0.3 * 0.077 * 240);

  // Mains hum at half the tone (50 Hz at 1200 and 150 Hz at 400, -6 dB):
  // within 3 %; 60 points one tone period apart reject most of it.
  Faults hum;
  hum.hum = 1200;
  expectformula(2400, runlooptest(2400, hum), 0.03);
}

TEST(LoopAnalysis, NoiseAsStrongAsTheLoopIsLeftInAndAsked) {
  // White noise RMS 8000 against a tone of 500: the quiet level is above 35 %
  // of the loop level, so it is not taken off (the loop test asks instead),
  // and the ceiling comes out lower than the tone's alone.
  Faults loud;
  loud.whitenoise = 8000;
  const Outcome o = runlooptest(500, loud);
  EXPECT_TRUE(noisetoostrong(o.quietlevel, o.looplevel));
  EXPECT_LT(o.testgain, loopceiling(static_cast<float>(expectedlooplevel(500))));
}

}  // namespace
