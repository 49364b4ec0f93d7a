// notchbound.cpp: the greedy ideal notch bank on a fine grid of the loop's
// magnitude response (bins 0.17 Hz apart or closer: a room mode with an RT60 of
// 1.2 s is 1.8 Hz wide).
#include "bench/howlsim/notchbound.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "bench/howlsim/fftconv.h"
#include "bench/howlsim/resonance.h"
#include "howlcut/howltuning.h"

namespace {

constexpr int finestsize = 1 << 18;

double todb(double power) { return 10.0 * std::log10(power); }

// |N(e^jw)|² at w radians per sample of a notch as howlcut builds it:
// 1 - c·BP(z), BP the constant 0 dB peak bandpass of quality q at w0.
double notchpower(double w0, double q, double depth, double w) {
  const double alpha = std::sin(w0) / (2.0 * q), a0 = 1.0 + alpha;
  const double b0 = alpha / a0, a1 = -2.0 * std::cos(w0) / a0, a2 = (1.0 - alpha) / a0;
  const double c = 1.0 - std::pow(10.0, -depth / 20.0);
  const std::complex<double> z1 = std::polar(1.0, -w), z2 = z1 * z1;
  return std::norm(1.0 - c * b0 * (1.0 - z2) / (1.0 + a1 * z1 + a2 * z2));
}

}  // namespace

NotchBound notchbound(const std::vector<float>& response, int notches, double q) {
  int n = finestsize;
  while (n < 2 * static_cast<int>(response.size())) n *= 2;
  std::vector<double> x(n, 0.0);
  std::copy(response.begin(), response.end(), x.begin());
  std::vector<cplx> half, spectrum(n / 2 + 1);
  realfft(x.data(), n, half, spectrum.data());
  std::vector<double> power(spectrum.size());
  for (size_t k = 0; k < spectrum.size(); ++k) power[k] = std::norm(spectrum[k]);

  const double hz = howlrate / n;
  const size_t low = static_cast<size_t>(std::ceil(howllowbin * howlrate / howlfftsize / hz));
  const size_t high = std::min(power.size() - 1, static_cast<size_t>(howlhighbin * howlrate / howlfftsize / hz));
  NotchBound b;
  const double loudest = *std::max_element(power.begin(), power.end());
  b.msg = -todb(loudest);
  b.added.push_back(0.0);
  for (int k = 0; k < notches; ++k) {
    const size_t peak = std::max_element(power.begin() + low, power.begin() + high + 1) - power.begin();
    const double frequency = peak * hz;
    const double w0 = 2.0 * std::numbers::pi * frequency / howlrate;
    for (size_t i = 0; i < power.size(); ++i) power[i] *= notchpower(w0, q, howlmaxdepth, 2.0 * std::numbers::pi * i / n);
    b.placed.push_back(frequency);
    b.added.push_back(-todb(*std::max_element(power.begin(), power.end())) - b.msg);
  }
  return b;
}

int notchesfor(const NotchBound& b, double db) {
  for (size_t k = 0; k < b.added.size(); ++k)
    if (b.added[k] >= db) return static_cast<int>(k);
  return -1;
}

std::vector<float> resonanceresponse(double frequency, double q, double gain, int length) {
  Resonance r(frequency, q, gain);
  std::vector<float> h(length);
  for (int i = 0; i < length; ++i) h[i] = static_cast<float>(r.step(0, i == 0 ? 1.0 : 0.0));
  return h;
}
