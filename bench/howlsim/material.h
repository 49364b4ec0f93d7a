// material.h: the sound that plays into the rooms, read from the scratch
// folder material.py fills.
//
//   Material m = loadmaterial(folder);          // false when a file is missing
//   std::vector<float> x = excerpt(m.speech, 30.0, 10.0);   // s from, s long, at the bench's level
#pragma once
#include <string>
#include <vector>

struct Material {
  std::vector<float> speech, music, noise;  // mono, 44.1 kHz, as rendered
  bool ok = false;
};

Material loadmaterial(const std::string& folder);
// Seconds [from, from + length) of x (wrapping round at its end), scaled to
// `level` dB below full scale RMS in 16-bit units.
std::vector<float> excerpt(const std::vector<float>& x, double from, double length, double level = 26);
