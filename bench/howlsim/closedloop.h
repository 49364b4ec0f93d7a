// closedloop.h: the room and the live program in one loop.
//
//   SimPlugin plugin = simnone();                    // or simhowlcut(rig), or a test's own
//   LoopRun run;  run.source = &speech;  run.path = &paths.before;  run.gainstart = run.gainend = -12;
//   LoopResult r = runloop(setuplive, run, plugin);  // r.output, r.meter.unstable, r.placed
//
// One sample period of the loop, in the order the samples flow:
//   mic     = source + (room response * loudspeaker) + noise
//   x       = forward gain · mic
//   L, R    = the plug-in, called per sample, interleaved L, R, L, R (the
//             same microphone signal on both channels, as a mono microphone
//             on a stereo input), a block of `block` frames at a time as the
//             live program calls it
//   out     = (L + R) / 2, clipped to the 16-bit range, played `roundtrip`
//             samples after the microphone took the sample (the round trip
//             of capture, the block and playback)
// Sample values are in 16-bit units, as the plug-ins see them. The output
// is measured at the loudspeaker. The reference is the same run without a
// feedback path and without a plug-in: gain · source, delayed by the round trip.
//
// The loudspeaker's signal is known a round trip ahead of the microphone, so
// the room runs in partitions of up to 1024 samples (a power of two no larger
// than roundtrip − block + 1) without any look into the future.
#pragma once
#include <cstdint>
#include <vector>

#include "bench/howlsim/howlmeter.h"

// The live program's timing: frames per block and the round trip in samples.
struct LoopSetup {
  int block;
  int roundtrip;
  const char* name;
};
constexpr LoopSetup setuplive{882, 2064, "882-frame blocks, 46.8 ms"};   // the run command's
constexpr LoopSetup setup10ms{441, 1627, "441-frame blocks, 36.9 ms"};  // 10 ms blocks

// The plug-in under test, as plain procedures on a context of its own.
struct SimPlugin {
  void (*start)(void* context);                                  // fresh state before each run
  void (*block)(void* context, float* interleaved, int frames);  // in place
  int (*placed)(void* context);                                  // notches placed so far
  int (*active)(void* context);                                  // notches in use now
  void* context;
};
SimPlugin simnone();  // passes the sound through

struct LoopRun {
  const std::vector<float>* source = nullptr;  // at the microphone, 16-bit units
  const std::vector<float>* path = nullptr;    // loudspeaker to microphone; null: no feedback path
  const std::vector<float>* moved = nullptr;   // the path after the microphone moved; null: it stays
  double changeat = 0;       // s: the crossfade to `moved` starts
  double crossfade = 0.25;   // s
  double gainstart = 0;      // dB, forward gain at the first sample
  double gainend = 0;        // dB, at the last (a ramp linear in dB between)
  double noise = -70;        // dB below full scale: white noise at the microphone
  uint64_t seed = 1;         // the noise
  bool stopwhenunstable = false;  // end the run once the meter calls it unstable
};

struct LoopResult {
  std::vector<float> output;     // the loudspeaker, 16-bit units
  std::vector<float> reference;  // the same without feedback path and plug-in
  HowlMeter meter;
  int placed = 0;                // the plug-in's count of notches placed
  int active = 0;                // its notches in use at the end
  int length = 0;                // samples run (fewer when stopped early)
};

LoopResult runloop(const LoopSetup& setup, const LoopRun& run, const SimPlugin& plugin);
int looppartition(const LoopSetup& setup);
