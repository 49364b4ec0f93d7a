// material.cpp: reads raw float files and cuts excerpts.
#include "bench/howlsim/material.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::vector<float> readraw(const std::string& path, bool& ok) {
  std::vector<float> x;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    ok = false;
    return x;
  }
  std::fseek(f, 0, SEEK_END);
  const long bytes = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  x.resize(bytes / sizeof(float));
  if (std::fread(x.data(), sizeof(float), x.size(), f) != x.size()) ok = false;
  std::fclose(f);
  if (x.empty()) ok = false;
  return x;
}

}  // namespace

Material loadmaterial(const std::string& folder) {
  Material m;
  m.ok = true;
  m.speech = readraw(folder + "/speech.f32", m.ok);
  m.music = readraw(folder + "/music.f32", m.ok);
  m.noise = readraw(folder + "/noise.f32", m.ok);
  return m;
}

std::vector<float> excerpt(const std::vector<float>& x, double from, double length, double level) {
  const size_t n = static_cast<size_t>(length * 44100), start = static_cast<size_t>(from * 44100);
  std::vector<float> y(n);
  double power = 0;
  for (size_t i = 0; i < n; ++i) {
    y[i] = x[(start + i) % x.size()];
    power += static_cast<double>(y[i]) * y[i];
  }
  const double rms = std::sqrt(power / std::max<size_t>(n, 1));
  const double scale = rms > 0 ? 32768.0 * std::pow(10.0, -level / 20) / rms : 0;
  for (float& v : y) v = static_cast<float>(v * scale);
  return y;
}
