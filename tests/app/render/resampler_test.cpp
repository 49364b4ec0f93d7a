// The resampler on synthetic tones, through its own interface: a tone in the
// passband keeps its level within the stated ripple and its timing, and what
// else comes out (aliases, images) is at least 100 dB down, for the rate pairs
// the renderer meets, including one whose phases are interpolated.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/render/resampler.h"

namespace {

constexpr double pi = 3.14159265358979323846;

struct Pair {
  int in, out;
};
const Pair pairs[] = {{48000, 44100}, {44100, 48000}, {96000, 44100}, {44100, 96000}, {8000, 44100},
                      {44100, 8000},  {192000, 44100}, {44100, 22050}, {44100, 44101}};

// A tone of amplitude 1 at `hz`, phase 0.3, for 0.6 s, streamed in uneven
// blocks, then finished: one channel of what comes out.
std::vector<double> convert(const ResamplerFilter &f, double hz) {
  const size_t frames = static_cast<size_t>(f.inrate * 0.6);
  std::vector<double> in(frames);
  for (size_t n = 0; n < frames; ++n) in[n] = std::sin(2 * pi * hz * n / f.inrate + 0.3);
  Resampler r;
  startresampler(r, f, 1);
  std::vector<double> out;
  for (size_t at = 0; at < frames; at += 777) resample(r, in.data() + at, std::min<size_t>(777, frames - at), out);
  finishresampler(r, resampledframes(f.inrate, f.outrate, static_cast<int64_t>(frames)), out);
  EXPECT_EQ(out.size(), static_cast<size_t>(resampledframes(f.inrate, f.outrate, static_cast<int64_t>(frames))));
  return out;
}

struct Fit {
  double gaindb, phase, restdb;  // the tone's level and phase; what is left, dB below the input tone
};

// The tone at `hz` fitted to the middle half of the output by least squares.
Fit fit(const std::vector<double> &y, double hz, int rate) {
  const size_t a = y.size() / 4, b = 3 * y.size() / 4;
  const double w = 2 * pi * hz / rate;
  double cc = 0, ss = 0, cs = 0, yc = 0, ys = 0;
  for (size_t m = a; m < b; ++m) {
    const double c = std::cos(w * m), s = std::sin(w * m);
    cc += c * c, ss += s * s, cs += c * s, yc += y[m] * c, ys += y[m] * s;
  }
  const double det = cc * ss - cs * cs, C = (yc * ss - ys * cs) / det, S = (ys * cc - yc * cs) / det;
  double rest = 0;
  for (size_t m = a; m < b; ++m) {
    const double e = y[m] - C * std::cos(w * m) - S * std::sin(w * m);
    rest += e * e;
  }
  const double inputpower = 0.5 * static_cast<double>(b - a);
  return {20 * std::log10(std::hypot(C, S)), std::atan2(C, S), 10 * std::log10(rest / inputpower + 1e-30)};
}

double outputdb(const std::vector<double> &y) {
  const size_t a = y.size() / 4, b = 3 * y.size() / 4;
  double p = 0;
  for (size_t m = a; m < b; ++m) p += y[m] * y[m];
  return 10 * std::log10(p / (0.5 * static_cast<double>(b - a)) + 1e-30);
}

TEST(Resampler, PassbandTonesKeepLevelAndTimeWithNothingElseAbove100dBDown) {
  for (const Pair &p : pairs) {
    ResamplerFilter f;
    designresampler(f, p.in, p.out);
    double low = 1e9, high = -1e9;
    std::vector<double> tones;
    for (double hz = 20; hz < f.passband; hz *= 1.37) tones.push_back(hz);
    tones.push_back(f.passband);
    for (const double hz : tones) {
      const Fit t = fit(convert(f, hz), hz, p.out);
      low = std::min(low, t.gaindb), high = std::max(high, t.gaindb);
      EXPECT_NEAR(t.phase, 0.3, 1e-4) << p.in << " -> " << p.out << " at " << hz << " Hz: delayed";
      EXPECT_LT(t.restdb, -100) << p.in << " -> " << p.out << " at " << hz << " Hz";
    }
    EXPECT_LE(high - low, 0.01) << p.in << " -> " << p.out << ": passband ripple (dB)";
    EXPECT_NEAR(f.passband, std::min(20000.0, std::min(p.in, p.out) * 20000.0 / 44100), 1e-9);
  }
}

// Down: a tone above the lower rate's Nyquist frequency must not fold back.
// Up: a tone between the passband and the input's Nyquist frequency keeps
// its images out; only the tone (whatever the transition band leaves of it)
// comes out.
TEST(Resampler, AliasesAndImagesAreAtLeast100dBDown) {
  for (const Pair &p : pairs) {
    ResamplerFilter f;
    designresampler(f, p.in, p.out);
    const double nyquist = p.in / 2.0;
    for (int i = 0; i <= 8; ++i) {
      if (p.in > p.out) {
        const double hz = f.stopband + (std::min(nyquist, 3 * f.stopband) - f.stopband) * (i + 0.5) / 9.0;
        EXPECT_LT(outputdb(convert(f, hz)), -100) << p.in << " -> " << p.out << ": alias of " << hz << " Hz";
      } else {
        const double hz = f.passband + (nyquist - f.passband) * i / 8.5;
        EXPECT_LT(fit(convert(f, hz), hz, p.out).restdb, -100) << p.in << " -> " << p.out << ": image of " << hz << " Hz";
      }
    }
  }
}

}  // namespace
