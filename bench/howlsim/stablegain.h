// stablegain.h: the maximum stable gain (MSG) of a loop, found by running it.
//
//   double floor = smallgainbound(path);               // dB: below this no loop can howl
//   StableGain s = searchmsg(setuplive, source, path, plugin, floor);
//   s.msg   the highest forward gain (dB) found stable; s.msg + 0.5 was found unstable
//
// Each trial runs the loop at one constant forward gain over the whole source
// and asks the meter whether it howled (howlmeter.h: 1 s of unbroken howling).
// The search first steps up from `start` until a trial howls (down, if the
// start already howls), then bisects until the stable and unstable gains are
// 0.5 dB apart. Gains lie on a 0.5 dB grid (the start and step should be
// multiples of 0.5 dB), so two searches of the same loop agree exactly.
#pragma once
#include <vector>

#include "bench/howlsim/closedloop.h"

struct StableGain {
  double msg = 0;        // dB: highest gain found stable
  double unstable = 0;   // dB: lowest gain found unstable (msg + at most 0.5)
  double howlhz = 0;     // Hz: the output's peak where the unstable trial first howled
  int notches = 0;       // the plug-in's notches in use when that trial ended
  int trials = 0;
  bool found = false;    // false: no bracket within the search's reach
};

// −20·log10 of the response's largest gain over frequency: with a forward
// gain below it the loop gain is under 1 at every frequency.
double smallgainbound(const std::vector<float>& path);

StableGain searchmsg(const LoopSetup& setup, const std::vector<float>& source, const std::vector<float>& path,
                     const SimPlugin& plugin, double start, double step = 2.0, double reach = 30.0);

// One trial: does the loop howl at this gain? Where it howls, the frequency
// and the notches in use go to howlhz and notches.
bool loophowls(const LoopSetup& setup, const std::vector<float>& source, const std::vector<float>& path,
               const SimPlugin& plugin, double gain, double* howlhz = nullptr, int* notches = nullptr);
