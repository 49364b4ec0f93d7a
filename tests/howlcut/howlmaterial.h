// howlmaterial.h: synthetic material for howlcut's tests, made sample by
// sample (stereo calls L, R, L, R ...) and deterministic, plus a driver.
#pragma once
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>

#include "howlcut/howlcutdsp.h"
#include "howlcut/howlcutstate.h"

// One instance as the module keeps it, on the heap here.
struct Howlcut {
  Howlcut() { howlstart(*state); }
  float proc(float x) { return howlproc(*state, params, *display, x); }
  int activenotches() const {
    int count = 0;
    for (const HowlNotch& n : state->notch) count += n.active;
    return count;
  }
  std::unique_ptr<HowlState> state = std::make_unique<HowlState>();
  std::unique_ptr<HowlDisplay> display = std::make_unique<HowlDisplay>();
  HowlParams params;
};

constexpr double howltestpi2 = 2.0 * std::numbers::pi;

// A note with six partials falling 4 dB each, amplitude a of the first.
inline double howltestnote(double f, double t, double a) {
  double sum = 0.0;
  for (int h = 1; h <= 6; h++) sum += a * std::pow(10.0, -4.0 * (h - 1) / 20.0) * std::sin(howltestpi2 * h * f * t);
  return sum;
}

// Music-like: a chord that changes every 0.8 s, a soft swell, and noise.
inline double howltestmusic(int64_t call) {
  static constexpr double roots[5] = {196.0, 261.6, 220.0, 174.6, 246.9};
  const double t = static_cast<double>(call / 2) / 44100.0;
  const double root = roots[static_cast<int>(t / 0.8) % 5];
  const double swell = 0.7 + 0.3 * std::sin(howltestpi2 * 0.3 * t);
  const uint32_t hash = static_cast<uint32_t>(call * 2654435761u) >> 8;
  return swell * (howltestnote(root, t, 2500) + howltestnote(root * 1.26, t, 1800) + howltestnote(root * 1.5, t, 1800)) +
         (hash / 16777216.0 - 0.5) * 200.0;
}

// Level of frequency f in samples of one channel (every other call), dB of
// amplitude on the 16-bit scale: a Goertzel-style correlation.
template <typename Get>
double howltestlevel(Get get, int64_t firstcall, int frames, double f) {
  double c = 0.0, s = 0.0;
  for (int i = 0; i < frames; i++) {
    const double w = 0.5 - 0.5 * std::cos(howltestpi2 * i / frames);
    const double x = get(firstcall + 2 * i) * w;
    c += x * std::cos(howltestpi2 * f * i / 44100.0);
    s += x * std::sin(howltestpi2 * f * i / 44100.0);
  }
  return 20.0 * std::log10(2.0 * std::sqrt(c * c + s * s) / (0.5 * frames) + 1e-9);
}
