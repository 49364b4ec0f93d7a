// howlmeter.cpp: band analysis, the howl criterion and the distortion.
#include "bench/howlsim/howlmeter.h"

#include <algorithm>
#include <cmath>

#include "bench/howlsim/fftconv.h"

namespace {

constexpr double fs = 44100.0;

struct Bands {
  int lo[meterbands], hi[meterbands];  // FFT bins [lo, hi)
  double window[meterframe];
  Bands() {
    for (int b = 0; b < meterbands; ++b) {
      const double centre = 100 * std::pow(2.0, b / 3.0);
      // At least 8 bins (172 Hz) wide, centred where a third of an octave is
      // narrower: single bins would resolve each peak of a loop's comb.
      const double width = std::max(centre * (std::pow(2.0, 1 / 6.0) - std::pow(2.0, -1 / 6.0)), 8 * fs / meterframe);
      lo[b] = static_cast<int>(std::ceil((centre - width / 2) * meterframe / fs));
      hi[b] = lo[b] + static_cast<int>(std::round(width * meterframe / fs));
    }
    for (int i = 0; i < meterframe; ++i) window[i] = 0.5 - 0.5 * std::cos(2 * M_PI * i / meterframe);
  }
};
const Bands bandtable;

double db(double power) { return 10 * std::log10(power + 1e-12); }

}  // namespace

double meterseconds(int frames) { return (static_cast<double>(frames) * meterhop + meterframe) / fs; }

void bandlevels(const float* x, std::array<float, meterbands>& out, std::array<float, meterbands>* peaks) {
  static thread_local std::vector<double> frame(meterframe);
  static thread_local std::vector<cplx> half, work(meterframe / 2 + 1);
  for (int i = 0; i < meterframe; ++i) frame[i] = x[i] * bandtable.window[i];
  realfft(frame.data(), meterframe, half, work.data());
  for (int b = 0; b < meterbands; ++b) {
    double sum = 0, top = -1;
    int topbin = bandtable.lo[b];
    for (int k = bandtable.lo[b]; k < bandtable.hi[b]; ++k) {
      const double p = std::norm(work[k]);
      sum += p;
      if (p > top) top = p, topbin = k;
    }
    // 0 dB: a full-scale 16-bit sine in the band (Hann: 3/32·N²·A² over the
    // positive frequencies).
    out[b] = static_cast<float>(db(sum / (3.0 / 32.0 * 32768.0 * 32768.0 * meterframe * meterframe)));
    if (peaks) (*peaks)[b] = static_cast<float>(topbin * fs / meterframe);
  }
}

void meterstart(HowlMeter& m, const std::vector<float>& reference) {
  const int count = reference.size() < meterframe ? 0 : static_cast<int>((reference.size() - meterframe) / meterhop + 1);
  m.reference.assign(count, {});
  std::array<double, meterbands> power{};
  double all = 0;
  for (int f = 0; f < count; ++f) {
    bandlevels(&reference[static_cast<size_t>(f) * meterhop], m.reference[f], nullptr);
    for (int b = 0; b < meterbands; ++b) {
      const double p = std::pow(10.0, m.reference[f][b] / 10);
      power[b] += p;
      all += p;
    }
  }
  for (int b = 0; b < meterbands; ++b) m.longterm[b] = db(power[b] / std::max(count, 1));
  m.longtermall = db(all / std::max(count, 1));
  m.active.assign(count, 0);
  for (int f = 0; f < count; ++f) {
    double p = 0;
    for (int b = 0; b < meterbands; ++b) p += std::pow(10.0, m.reference[f][b] / 10);
    m.active[f] = db(p) >= m.longtermall - 20;
  }
  m.frames = 0;
  m.maxexcess.clear(), m.peakhz.clear(), m.level.clear(), m.howling.clear();
  m.howlframes = m.run = m.longestrun = 0;
  m.unstable = false;
  m.unstableframe = m.firsthowl = -1;
  m.distortionsum = 0;
  m.distortioncount = 0;
}

void meterfeed(HowlMeter& m, const std::vector<float>& output, int available) {
  const int holdframes = static_cast<int>(std::ceil(m.hold * fs / meterhop));
  std::array<float, meterbands> level, peaks;
  while (m.frames < static_cast<int>(m.reference.size()) &&
         static_cast<size_t>(m.frames) * meterhop + meterframe <= static_cast<size_t>(available)) {
    const int f = m.frames++;
    bandlevels(&output[static_cast<size_t>(f) * meterhop], level, &peaks);
    const std::array<float, meterbands>& ref = m.reference[f];
    float worst = -1e9f, worsthz = 0;
    double all = 0;
    for (int b = 0; b < meterbands; ++b) {
      all += std::pow(10.0, level[b] / 10);
      const double e = level[b] - std::max<double>(ref[b], m.longterm[b]);
      if (e > worst) worst = static_cast<float>(e), worsthz = peaks[b];
      if (m.active[f]) {
        const double floor = m.longterm[b] - 30;
        m.distortionsum += std::fabs(std::max<double>(level[b], floor) - std::max<double>(ref[b], floor));
        m.distortioncount++;
      }
    }
    const bool howl = worst >= m.excess;
    m.maxexcess.push_back(worst);
    m.peakhz.push_back(worsthz);
    m.level.push_back(static_cast<float>(db(all)));
    m.howling.push_back(howl);
    if (howl) {
      m.howlframes++;
      if (m.firsthowl < 0) m.firsthowl = f;
      m.run++;
      m.longestrun = std::max(m.longestrun, m.run);
      if (m.run >= holdframes && !m.unstable) m.unstable = true, m.unstableframe = f;
    } else {
      m.run = 0;
    }
  }
}

double meterdistortion(const HowlMeter& m) {
  return m.distortioncount ? m.distortionsum / m.distortioncount : 0;
}
