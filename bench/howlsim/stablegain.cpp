// stablegain.cpp: the MSG search.
#include "bench/howlsim/stablegain.h"

#include <cmath>

#include "bench/howlsim/fftconv.h"

double smallgainbound(const std::vector<float>& path) {
  size_t n = 1;
  while (n < 4 * path.size()) n *= 2;
  std::vector<cplx> a(n, cplx(0, 0));
  for (size_t i = 0; i < path.size(); ++i) a[i] = path[i];
  fft(a, false);
  double top = 0;
  for (size_t k = 0; k <= n / 2; ++k) top = std::max(top, std::abs(a[k]));
  return -20 * std::log10(top);
}

bool loophowls(const LoopSetup& setup, const std::vector<float>& source, const std::vector<float>& path,
               const SimPlugin& plugin, double gain, double* howlhz, int* notches) {
  LoopRun run;
  run.source = &source;
  run.path = &path;
  run.gainstart = run.gainend = gain;
  run.stopwhenunstable = true;
  const LoopResult r = runloop(setup, run, plugin);
  if (howlhz && r.meter.unstable) *howlhz = r.meter.peakhz[r.meter.firsthowl];
  if (notches && r.meter.unstable) *notches = r.active;
  return r.meter.unstable;
}

StableGain searchmsg(const LoopSetup& setup, const std::vector<float>& source, const std::vector<float>& path,
                     const SimPlugin& plugin, double start, double step, double reach) {
  StableGain s;
  double lo = start, hi = start, hz = 0;
  int notches = 0;
  auto howls = [&](double g) {
    s.trials++;
    double f = 0;
    int n = 0;
    const bool h = loophowls(setup, source, path, plugin, g, &f, &n);
    if (h) hz = f, notches = n;
    return h;
  };
  if (howls(start)) {
    do {
      hi = lo;
      lo -= step;
      if (lo < start - reach) return s;
    } while (howls(lo));
  } else {
    do {
      lo = hi;
      hi += step;
      if (hi > start + reach) {
        s.msg = lo;
        return s;
      }
    } while (!howls(hi));
  }
  double hzhi = hz;
  int notcheshi = notches;
  while (hi - lo > 0.5) {
    // Midpoints on the 0.5 dB grid the start and steps lie on, so two
    // searches of the same loop find the same pair of gains.
    const double mid = std::floor((lo + hi)) * 0.5;
    if (howls(mid)) hi = mid, hzhi = hz, notcheshi = notches;
    else lo = mid;
  }
  s.msg = lo;
  s.unstable = hi;
  s.howlhz = hzhi;
  s.notches = notcheshi;
  s.found = true;
  return s;
}
