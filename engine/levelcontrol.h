// levelcontrol.h: the five level-control loops. Audio thread only.
//
//   trendguard(x)      after the plug-ins: trendgain holds the output 10-20 % down
//                      while the level is steady or rising
//   autolevelupdate()  end of the main chain: slow level factor from inputpeak
//   limiterupdate(x)   gain path: limitergain from gain, testgain, autolevel, trendgain
//   levelfollower(x)   fast gain 0.06..1.4 against the slow average
//   levelperiod(count) once per block: publishes vupeak, restarts inputpeak
//
// Both channels share every memory here. The guard works in double; every other
// memory is a 32-bit float, and so are the temporaries, each rounded once when
// stored.
#pragma once
#include <algorithm>
#include <cmath>

#include "engine/atomics.h"
#include "engine/enginestate.h"

inline void trendguard(ChainMemories &m, float x, float testgain) {
  double &L = m.guardlevel, &R = m.guardreference, &T = m.guardtrend, &S = m.guardspan;
  double &G = m.trendgain;
  T += (0.985 * L - T) * 0.001;  // L of the previous sample
  R += (25 + L - R) * 0.004;
  L += (std::fabs(x) - L) * 0.003;
  S += (std::min(0.05 * R + 80, 100.0) - S) * 0.03;

  double low, high;
  if (testgain < 0.141) {
    low = 0.8, high = 1.93;
  } else if (testgain < 0.36) {
    low = 0.82, high = 1.96;
  } else if (testgain < 0.6) {
    low = 0.85, high = 1.99;
  } else {
    low = 0.9, high = 2.04;
  }

  if (T < R) {  // level rising above its slow trend
    G += (S / (R + S - T) - G) * 0.02;
    G = std::max(G, low);
  } else {
    G += ((T + S - R) / S - G) * 0.01;
    G = std::min(G, high);
  }
}

inline void autolevelupdate(ChainMemories &m, float gain) {
  float peak = m.inputpeak;
  float &a = m.autolevel;
  double q = (1 - peak / 32767) * (0.8 * gain + 0.2) * 0.42;
  float p = q * q;
  if (p >= a) {
    a += (p - a) * 0.000003;  // slow rise
  } else if (peak > 22000) {
    a += (p - a) * 0.001;  // fast fall after a loud peak
  } else {
    a += (p - a) * 0.00003;
  }
}

inline void limiterupdate(ChainMemories &c, float x, float gain, float testgain, int outputmode) {
  float m = testgain * gain * c.autolevel;
  if (outputmode == 1) m = m * std::min(c.trendgain, 1.0);
  float ceiling = m * m * 30000;
  float &g = c.limitergain;
  if (std::fabs(m * x) > ceiling) {
    float v = ceiling / std::fabs(x);
    g += (v - g) * 0.01;
    if (g > 1.07 * v) g = 1.07 * v;  // never more than 7 % above the holding value
  } else {
    g += (m - g) * 0.0003;
  }
  if (outputmode == 99) g = gain;
}

inline float levelfollower(ChainMemories &m, float x, bool wet) {
  float &F = m.followerfast, &W = m.followerslow, &K = m.followergain;
  F += (std::fabs(x) + 50 - F) * 0.0001;
  if (W < F) {  // level above its slow average: pull down
    float d = std::min((F - W) * (wet ? 0.06 : 0.0174), 0.54);
    K = 0.6 - d;
    W += (F - W) * 0.0009;
  } else {
    float d = std::min((W - F) * (wet ? 0.6 : 0.174), 0.8);
    K = 0.6 + d;
    W += (F - W) * 0.0001;
  }
  return K * x;
}

inline void levelperiod(ChainMemories &m, int count) {
  m.levelcounter += count;
  if (m.levelcounter > 4400) {
    m.levelcounter = 0;
    st(engine.vupeak, m.inputpeak / 32768);
    m.inputpeak = 1.0f;
  }
}
