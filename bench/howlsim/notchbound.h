// notchbound.h: how much stable gain a bank of notches could add to a room at
// best, from the loop's magnitude response alone.
//
//   NotchBound b = notchbound(response, 48);   // up to 48 notches
//   b.msg                 // dB: the forward gain at which the loop's loudest peak reaches unity
//   b.added[k]            // dB: the gain k notches add, k = 0 .. 48 (added[0] = 0)
//   notchesfor(b, 6.0)    // how many it takes to add 6 dB (-1: more than were tried)
//   notchbound(response, 12, 7.0)   // the same with notches of another quality
//
// A loop of forward gain g through a response H howls where g·|H(f)| first
// reaches 1 (with a round trip of tens of ms its phase turns a full circle
// every 20 Hz or so, so some frequency beside every peak is in phase): its
// stable gain is -20·log10 max|H|. An ideal detector catches each howl at
// once, where it starts, and gives it a full notch: the loop's loudest peak
// gets howlcut's own notch (its quality, its 18 dB cap), then the loudest peak that
// is left, and so on. That is the bank's best case in the room, whatever the
// material: a real detector only places its notches later, or elsewhere.
// The notches may only go where howlcut looks for howls (86 Hz to 16 kHz).
#pragma once
#include <vector>

#include "howlcut/howltuning.h"

struct NotchBound {
  double msg = 0.0;            // dB, no notch
  std::vector<double> added;   // dB added with k notches, k = 0 .. the number tried
  std::vector<double> placed;  // Hz, the notches in the order they were placed
};

NotchBound notchbound(const std::vector<float>& response, int notches, double q = howlnotchq);
int notchesfor(const NotchBound& bound, double db);

// The live room's path: flat, with the resonance of its test (a peaking
// filter of `gain` dB at `frequency` Hz, quality q, as sox's equalizer),
// `length` samples of its impulse response.
std::vector<float> resonanceresponse(double frequency, double q, double gain, int length);
