// filters.h: the fixed filters of the chain. Audio thread only.
//
// Memories are 32-bit floats on the 16-bit scale; the constants are doubles, so
// each update is worked out in double and rounded once when it is stored.
#pragma once
#include <cmath>

#include "enginestate.h"

// Six one-pole high-pass sections in series, per channel (j even: left, odd: right).
// Each section takes the previous section's output of the previous sample, so the
// sections run from the last to the first. Corner ~1.4 Hz each; gain 0.985^7 ~ 0.90.
inline float dcblocker(float x, int j) {
  HighpassChain<6> &c = engine.dc[j & 1];
  for (int k = 5; k >= 1; --k) {
    c.lp[k] += (c.hp[k - 1] - c.lp[k]) * 0.0002;
    c.hp[k] = (c.hp[k - 1] - c.lp[k]) * 0.985;
  }
  c.lp[0] += (x - c.lp[0]) * 0.0002;
  c.hp[0] = (x - c.lp[0]) * 0.985;
  return c.hp[5] * 0.985;
}

// The same structure with two sections: corner ~23 Hz, gain 0.985^3.
inline float lowcut(float x, int j) {
  HighpassChain<2> &c = engine.low[j & 1];
  c.lp[1] += (c.hp[0] - c.lp[1]) * 0.0033;
  c.hp[1] = (c.hp[0] - c.lp[1]) * 0.985;
  c.lp[0] += (x - c.lp[0]) * 0.0033;
  c.hp[0] = (x - c.lp[0]) * 0.985;
  return c.hp[1] * 0.985;
}

// Averages each sample with the one 4000 samples (2000 frames, ~45 ms) older,
// same channel.
inline float combaverage(float x) {
  EngineState &e = engine;
  e.combpos = e.combpos + 1 == combsize ? 0 : e.combpos + 1;
  e.comb[e.combpos] = x;
  int partner = e.combpos - combdelay;
  if (partner < 0) partner += combsize;
  return 0.498 * (x + e.comb[partner]);
}

// Keeps what the plug-ins added: removes the dry sample d, matched in level by
// the two envelopes (dryenv follows d, updated before the plug-ins run).
inline float wetextract(float x, float d) {
  EngineState &e = engine;
  e.wetenv += (std::fabs(x) + 50 - e.wetenv) * 0.02;
  return 0.95 * (x - 0.95 * d * e.wetenv / e.dryenv);
}
