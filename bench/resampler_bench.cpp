// resampler_bench: the renderer's resampler beside sox's very-high-quality
// rate converter (sox ... rate -v), on the same tones and sweeps, in doubles:
//   ripple   the passband tones' level, highest minus lowest (dB), 20 Hz to
//            the passband edge (20 kHz, or 20/44.1 of the lower rate)
//   alias    the loudest out-of-band tone's output when the rate goes down
//            (dB below the tone), or the loudest image (what is left beside
//            the tone) when it goes up
//   rest     the most left beside any passband tone (dB below it)
//   sweep    a linear sweep to the passband edge against the ideal sweep at
//            the output's times (dB below it): level, timing and aliasing at once
//   speed    ours only: stereo frames converted per second / the output rate
// Figures only; nothing here fails. Needs sox on the PATH.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/render/resampler.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double seconds = 0.6;

struct Pair {
  int in, out;
};

std::vector<double> ours(const std::vector<double> &x, int in, int out) {
  ResamplerFilter f;
  designresampler(f, in, out);
  Resampler r;
  startresampler(r, f, 1);
  std::vector<double> y;
  resample(r, x.data(), x.size(), y);
  finishresampler(r, resampledframes(in, out, static_cast<int64_t>(x.size())), y);
  return y;
}

std::vector<double> sox(const std::vector<double> &x, int in, int out) {
  const std::string dir = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
  const std::string a = dir + "/resampler_bench_in.f64", b = dir + "/resampler_bench_out.f64";
  std::ofstream(a, std::ios::binary).write(reinterpret_cast<const char *>(x.data()), x.size() * sizeof(double));
  const std::string command = "sox -t f64 -r " + std::to_string(in) + " -c 1 " + a + " -t f64 -r " +
                              std::to_string(out) + " " + b + " rate -v 2>/dev/null";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "resampler_bench: sox failed\n");
    std::exit(1);
  }
  std::ifstream back(b, std::ios::binary | std::ios::ate);
  std::vector<double> y(static_cast<size_t>(back.tellg()) / sizeof(double));
  back.seekg(0);
  back.read(reinterpret_cast<char *>(y.data()), y.size() * sizeof(double));
  std::remove(a.c_str());
  std::remove(b.c_str());
  return y;
}

using Converter = std::vector<double> (*)(const std::vector<double> &, int, int);

std::vector<double> tone(double hz, int rate) {
  std::vector<double> x(static_cast<size_t>(rate * seconds));
  for (size_t n = 0; n < x.size(); ++n) x[n] = 0.5 * std::sin(2 * pi * hz * n / rate + 0.3);
  return x;
}

// The tone at hz fitted to the middle half: its level (dB re the input's 0.5)
// and what is left (dB below the input tone).
void fit(const std::vector<double> &y, double hz, int rate, double &gaindb, double &restdb) {
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
  gaindb = 20 * std::log10(std::hypot(C, S) / 0.5);
  restdb = 10 * std::log10(rest / (0.125 * static_cast<double>(b - a)) + 1e-30);
}

double leveldb(const std::vector<double> &y) {
  const size_t a = y.size() / 4, b = 3 * y.size() / 4;
  double p = 0;
  for (size_t m = a; m < b; ++m) p += y[m] * y[m];
  return 10 * std::log10(p / (0.125 * static_cast<double>(b - a)) + 1e-30);
}

// A linear sweep from 20 Hz to `top` over the whole input, at any time t.
double sweepat(double t, double top, double length) {
  return 0.5 * std::sin(2 * pi * (20 * t + (top - 20) * t * t / (2 * length)));
}

struct Figures {
  double ripple, alias, rest, sweep;
};

Figures measure(Converter convert, const Pair &p, const ResamplerFilter &f) {
  Figures r{0, -400, -400, 0};
  double low = 1e9, high = -1e9;
  std::vector<double> tones;
  for (double hz = 20; hz < f.passband; hz *= 1.25) tones.push_back(hz);
  tones.push_back(f.passband);
  for (double hz : tones) {
    double gain, rest;
    fit(convert(tone(hz, p.in), p.in, p.out), hz, p.out, gain, rest);
    low = std::min(low, gain), high = std::max(high, gain);
    r.rest = std::max(r.rest, rest);
  }
  r.ripple = high - low;
  const double nyquist = p.in / 2.0;
  for (int i = 0; i <= 16; ++i) {
    if (p.in > p.out) {
      const double hz = f.stopband + (std::min(nyquist, 3 * f.stopband) - f.stopband) * (i + 0.5) / 17.0;
      r.alias = std::max(r.alias, leveldb(convert(tone(hz, p.in), p.in, p.out)));
    } else {
      const double hz = f.passband + (nyquist - f.passband) * i / 16.5;
      double gain, rest;
      fit(convert(tone(hz, p.in), p.in, p.out), hz, p.out, gain, rest);
      r.alias = std::max(r.alias, rest);
    }
  }
  // The sweep, against the ideal sweep at the output's times (middle 80 %).
  const double length = 2.0;
  std::vector<double> x(static_cast<size_t>(p.in * length));
  for (size_t n = 0; n < x.size(); ++n) x[n] = sweepat(static_cast<double>(n) / p.in, f.passband, length);
  const std::vector<double> y = convert(x, p.in, p.out);
  double error = 0, power = 0;
  for (size_t m = y.size() / 10; m < 9 * y.size() / 10; ++m) {
    const double ideal = sweepat(static_cast<double>(m) / p.out, f.passband, length);
    error += (y[m] - ideal) * (y[m] - ideal);
    power += ideal * ideal;
  }
  r.sweep = 10 * std::log10(error / power + 1e-30);
  return r;
}

double speed(const Pair &p) {
  ResamplerFilter f;
  designresampler(f, p.in, p.out);
  Resampler r;
  startresampler(r, f, 2);
  std::vector<double> x(2 * static_cast<size_t>(p.in) * 10), y;
  for (size_t n = 0; n < x.size(); ++n) x[n] = std::sin(n * 0.01);
  const auto start = std::chrono::steady_clock::now();
  for (size_t at = 0; at < x.size(); at += 8192) resample(r, x.data() + at, std::min<size_t>(4096, (x.size() - at) / 2), y);
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return 10.0 / took;
}

}  // namespace

int main() {
  const Pair pairs[] = {{48000, 44100}, {44100, 48000}, {96000, 44100}, {44100, 96000},
                        {8000, 44100},  {44100, 8000},  {192000, 44100}, {44100, 192000}};
  std::printf("%-16s %-5s %12s %10s %10s %10s %12s\n", "rates", "who", "ripple dB", "alias dB", "rest dB",
              "sweep dB", "x real time");
  for (const Pair &p : pairs) {
    ResamplerFilter f;
    designresampler(f, p.in, p.out);
    const Figures a = measure(ours, p, f), b = measure(sox, p, f);
    char rates[32];
    std::snprintf(rates, sizeof rates, "%d>%d", p.in, p.out);
    std::printf("%-16s %-5s %12.5f %10.1f %10.1f %10.1f %12.0f   (%d taps, %d phases, passband %.0f Hz)\n", rates,
                "ours", a.ripple, a.alias, a.rest, a.sweep, speed(p), 2 * f.half, f.phases, f.passband);
    std::printf("%-16s %-5s %12.5f %10.1f %10.1f %10.1f\n", "", "sox", b.ripple, b.alias, b.rest, b.sweep);
    std::fflush(stdout);
  }
}
