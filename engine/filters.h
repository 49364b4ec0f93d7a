// filters.h: the fixed filters of the chain. Audio thread only.
//
// Memories are 32-bit floats on the 16-bit scale; the constants are doubles, so
// each update is worked out in double and rounded once when it is stored.
#pragma once
#include <cmath>

#include "engine/enginestate.h"

// Six one-pole high-pass sections in series for one channel. Each section takes
// the previous section's output of the previous sample, so the sections run from
// the last to the first. Corner ~1.4 Hz each; pass-band gain 0.985^7 ~ 0.90.
inline float dcblocker(HighpassChain<6> &c, float x) {
  for (int k = 5; k >= 1; --k) {
    c.lp[k] += (c.hp[k - 1] - c.lp[k]) * 0.0002;
    c.hp[k] = (c.hp[k - 1] - c.lp[k]) * 0.985;
  }
  c.lp[0] += (x - c.lp[0]) * 0.0002;
  c.hp[0] = (x - c.lp[0]) * 0.985;
  return c.hp[5] * 0.985;
}

// The same structure with two sections: corner ~23 Hz, pass-band gain 0.985^3.
inline float lowcut(HighpassChain<2> &c, float x) {
  c.lp[1] += (c.hp[0] - c.lp[1]) * 0.0033;
  c.hp[1] = (c.hp[0] - c.lp[1]) * 0.985;
  c.lp[0] += (x - c.lp[0]) * 0.0033;
  c.hp[0] = (x - c.lp[0]) * 0.985;
  return c.hp[1] * 0.985;
}

// Averages each sample with the one 4000 samples (2000 frames, ~45 ms) older,
// same channel.
inline float combaverage(ChainMemories &m, float *ring, float x) {
  m.combpos = m.combpos + 1 == combsize ? 0 : m.combpos + 1;
  ring[m.combpos] = x;
  int partner = m.combpos - combdelay;
  if (partner < 0) partner += combsize;
  return 0.498 * (x + ring[partner]);
}

// Keeps what the plug-ins added: removes the dry sample d, matched in level by
// the two envelopes (dryenv follows d and is updated before the plug-ins run).
inline float wetextract(ChainMemories &m, float x, float d) {
  m.wetenv += (std::fabs(x) + 50 - m.wetenv) * 0.02;
  return 0.95 * (x - 0.95 * d * m.wetenv / m.dryenv);
}
