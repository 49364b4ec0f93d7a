// howlroom.h: the sound of a room that starts to howl, made sample by sample
// for the tests that feed pluginproc as the audio thread would.
#pragma once
#include <algorithm>
#include <cmath>
#include <numbers>

// A room with a howl building up: white noise (about -30 dBFS), and a sine at `hz` from -60 dBFS
// growing 12 dB a second up to -6 dBFS. Sample n of the interleaved stream.
inline float howlingroom(long n, float hz = 1234.0f) {
  const long frame = n / 2;
  const double t = frame / 44100.0, db = std::min(-60.0 + 12.0 * t, -6.0);
  // White noise from a hash of the frame number: the same on both channels, every run.
  unsigned long long h = static_cast<unsigned long long>(frame) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  const double noise = 1500.0 * (static_cast<double>(h & 0xFFFFFF) / 0x800000 - 1.0);
  return static_cast<float>(noise + 32767.0 * std::pow(10.0, db / 20.0) * std::sin(2 * std::numbers::pi * hz * t));
}
