// howlroom.h: the sound of a room that starts to howl, made sample by sample
// for the tests that feed pluginproc as the audio thread would.
#pragma once
#include <algorithm>
#include <cmath>
#include <numbers>

// The room's own noise: white, from a hash of the frame number (about -30
// dBFS), the same on both channels and in every run.
inline double roomnoise(long frame) {
  unsigned long long h = static_cast<unsigned long long>(frame) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  return 1500.0 * (static_cast<double>(h & 0xFFFFFF) / 0x800000 - 1.0);
}

// A room with a howl building up: its noise, and a sine at `hz` from -60 dBFS
// growing 12 dB a second up to -6 dBFS. Sample n of the interleaved stream.
inline float howlingroom(long n, float hz = 1234.0f) {
  const long frame = n / 2;
  const double t = frame / 44100.0, db = std::min(-60.0 + 12.0 * t, -6.0);
  return static_cast<float>(roomnoise(frame) + 32767.0 * std::pow(10.0, db / 20.0) * std::sin(2 * std::numbers::pi * hz * t));
}
