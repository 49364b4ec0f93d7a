// resampler.cpp: the filter's design (once per rate pair) and the streaming
// conversion. The rules are in resampler.h.
#include "app/render/resampler.h"

#include <cmath>
#include <numeric>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double attenuation = 110.0;  // dB, the Kaiser design's stopband
constexpr double widepassband = 20000.0, widerate = 44100.0;
constexpr int64_t dropframes = 65536;  // used input is let go of in steps this large

// sin(pi x), from a series: the same bits on every platform, unlike std::sin.
double sinpi(double x) {
  double r = x - 2.0 * std::floor(x * 0.5 + 0.5);  // -1 <= r < 1
  if (r > 0.5) r = 1.0 - r;
  if (r < -0.5) r = -1.0 - r;
  const double y = pi * r, y2 = y * y;
  double sum = 0.0;
  for (int k = 12; k >= 0; --k) {
    double term = 1.0;  // 1 / (2k + 1)!
    for (int i = 2; i <= 2 * k + 1; ++i) term /= i;
    sum = sum * y2 + ((k & 1) ? -term : term);
  }
  return y * sum;
}

// The modified Bessel function I0, from its series.
double besseli0(double x) {
  const double q = x * x / 4.0;
  double sum = 1.0, term = 1.0;
  for (int k = 1; k < 200 && term > sum * 1e-18; ++k) {
    term *= q / (static_cast<double>(k) * k);
    sum += term;
  }
  return sum;
}

// The windowed sinc at t input frames from the output's time.
double kernel(double t, double cutoff, double extent, double beta) {
  const double x = 2.0 * cutoff * t;
  const double sinc = x == 0.0 ? 1.0 : sinpi(x) / (pi * x);
  const double u = t / extent;
  const double window = u * u >= 1.0 ? 0.0 : besseli0(beta * std::sqrt(1.0 - u * u)) / besseli0(beta);
  return 2.0 * cutoff * sinc * window;
}

}  // namespace

void designresampler(ResamplerFilter &f, int inrate, int outrate) {
  f.inrate = inrate;
  f.outrate = outrate;
  const int64_t g = std::gcd(static_cast<int64_t>(inrate), static_cast<int64_t>(outrate));
  f.up = outrate / g;
  f.down = inrate / g;
  const double low = std::min(inrate, outrate);
  f.passband = std::min(widepassband, low * widepassband / widerate);
  f.stopband = low / 2.0;
  // Kaiser's estimates: the shape from the attenuation, the length from it and
  // the transition band's width in cycles per input frame.
  const double beta = 0.1102 * (attenuation - 8.7);
  const double width = (f.stopband - f.passband) / inrate;
  const double length = (attenuation - 7.95) / (2.285 * 2.0 * pi * width);
  f.half = static_cast<int>(std::ceil(length / 2.0)) + 1;
  const double cutoff = (f.passband + f.stopband) / 2.0 / inrate;
  f.phases = static_cast<int>(std::min<int64_t>(f.up, maxresamplerphases));
  const int taps = 2 * f.half;
  f.taps.assign(static_cast<size_t>(f.phases + 1) * taps, 0.0);
  for (int p = 0; p <= f.phases; ++p) {
    double *row = f.taps.data() + static_cast<size_t>(p) * taps;
    const double fraction = static_cast<double>(p) / f.phases;
    double sum = 0.0;
    for (int j = 0; j < taps; ++j) {
      row[j] = kernel(j - f.half + 1 - fraction, cutoff, f.half, beta);
      sum += row[j];
    }
    for (int j = 0; j < taps; ++j) row[j] /= sum;  // each phase passes DC exactly
  }
}

void startresampler(Resampler &r, const ResamplerFilter &f, int channels) {
  r.filter = &f;
  r.channels = channels;
  r.buffer.assign(static_cast<size_t>(f.half) * channels, 0.0);  // silence before the start
  r.first = 0;
  r.inputs = 0;
  r.outputs = 0;
}

namespace {

// Makes every output whose taps are all in the buffer, up to `total`.
void run(Resampler &r, int64_t total, std::vector<double> &out) {
  const ResamplerFilter &f = *r.filter;
  const int taps = 2 * f.half, ch = r.channels;
  const int64_t frames = static_cast<int64_t>(r.buffer.size()) / ch;
  for (; r.outputs < total; ++r.outputs) {
    const int64_t position = r.outputs * f.down;  // input frames x up
    const int64_t whole = position / f.up, rest = position % f.up;
    const int64_t start = whole + 1 - r.first;  // buffer frame of the first tap
    if (start + taps > frames) break;
    // The row for this fraction of a frame, or two rows and the weight between them.
    const int64_t scaled = rest * f.phases;
    const int64_t row = scaled / f.up;
    const double weight = static_cast<double>(scaled % f.up) / static_cast<double>(f.up);
    const double *a = f.taps.data() + row * taps, *b = a + taps;
    const double *x = r.buffer.data() + start * ch;
    for (int c = 0; c < ch; ++c) {
      double sum = 0.0;
      if (weight == 0.0) {
        for (int j = 0; j < taps; ++j) sum += x[j * ch + c] * a[j];
      } else {
        for (int j = 0; j < taps; ++j) sum += x[j * ch + c] * (a[j] + weight * (b[j] - a[j]));
      }
      out.push_back(sum);
    }
  }
  // Let go of input no later output reaches.
  const int64_t drop = r.outputs * f.down / f.up - r.first;
  if (drop >= dropframes) {
    r.buffer.erase(r.buffer.begin(), r.buffer.begin() + drop * ch);
    r.first += drop;
  }
}

}  // namespace

void resample(Resampler &r, const double *in, size_t frames, std::vector<double> &out) {
  r.buffer.insert(r.buffer.end(), in, in + frames * r.channels);
  r.inputs += static_cast<int64_t>(frames);
  run(r, INT64_MAX, out);
}

void finishresampler(Resampler &r, int64_t total, std::vector<double> &out) {
  if (r.outputs >= total) return;
  const ResamplerFilter &f = *r.filter;
  // Silence after the end, as far as the last output's taps reach.
  const int64_t last = (total - 1) * f.down / f.up + f.half;
  const int64_t have = r.first + static_cast<int64_t>(r.buffer.size()) / r.channels - f.half;
  if (last >= have) r.buffer.resize(r.buffer.size() + static_cast<size_t>(last + 1 - have) * r.channels, 0.0);
  run(r, total, out);
}

int64_t resampledframes(int inrate, int outrate, int64_t frames) {
  return (frames * outrate + inrate - 1) / inrate;
}
