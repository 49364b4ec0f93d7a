// resonance.h: the resonance of the live howl test's room, as sox's equalizer
// builds it (the peaking filter of the audio equalizer cookbook), for two
// channels, each with its own memories.
//
//   Resonance r(1000.0, 10.0, 12.0);   // Hz, quality, dB at the top
//   y = r.step(channel, x);
#pragma once
#include <cmath>
#include <numbers>

struct Resonance {
  double b0, b1, b2, a1, a2;
  double x1[2] = {}, x2[2] = {}, y1[2] = {}, y2[2] = {};
  Resonance(double frequency, double q, double gain) {
    const double a = std::pow(10.0, gain / 40.0), w = 2.0 * std::numbers::pi * frequency / 44100.0;
    const double alpha = std::sin(w) / (2.0 * q), a0 = 1.0 + alpha / a;
    b0 = (1.0 + alpha * a) / a0, b1 = -2.0 * std::cos(w) / a0, b2 = (1.0 - alpha * a) / a0;
    a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha / a) / a0;
  }
  double step(int c, double x) {
    const double y = b0 * x + b1 * x1[c] + b2 * x2[c] - a1 * y1[c] - a2 * y2[c];
    x2[c] = x1[c], x1[c] = x, y2[c] = y1[c], y1[c] = y;
    return y;
  }
};
