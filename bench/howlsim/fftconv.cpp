// fftconv.cpp: the transform and the partitioned convolution.
#include "bench/howlsim/fftconv.h"

#include <cmath>

namespace {

// Plain complex product: std::complex's operator* checks for infinities
// through a library call on every product.
inline cplx mul(const cplx& a, const cplx& b) {
  return cplx(a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real());
}

}  // namespace

void fft(std::vector<cplx>& a, bool inverse) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = (inverse ? 2 : -2) * M_PI / static_cast<double>(len);
    const cplx step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      cplx w(1, 0);
      for (size_t k = 0; k < len / 2; ++k) {
        const cplx u = a[i + k], v = mul(a[i + k + len / 2], w);
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w = mul(w, step);
      }
    }
  }
}

void convstart(Convolver& c, const std::vector<float>& response, int partition) {
  c.partition = partition;
  c.parts = std::max<int>(1, (static_cast<int>(response.size()) + partition - 1) / partition);
  const int n = 2 * partition;
  c.h.assign(c.parts, std::vector<cplx>(partition + 1));
  c.work.assign(n, cplx(0, 0));
  for (int p = 0; p < c.parts; ++p) {
    std::fill(c.work.begin(), c.work.end(), cplx(0, 0));
    for (int i = 0; i < partition; ++i) {
      const size_t k = static_cast<size_t>(p) * partition + i;
      if (k < response.size()) c.work[i] = response[k];
    }
    fft(c.work, false);
    for (int b = 0; b <= partition; ++b) c.h[p][b] = c.work[b];
  }
  c.ring.assign(c.parts, std::vector<cplx>(partition + 1, cplx(0, 0)));
  c.newest = 0;
  c.last.assign(partition, 0.0);
  c.sum.assign(partition + 1, cplx(0, 0));
}

void convblock(Convolver& c, const float* in, float* out) {
  const int p = c.partition, n = 2 * p;
  // Overlap-save: the previous block and this one, transformed together.
  for (int i = 0; i < p; ++i) {
    c.work[i] = c.last[i];
    c.work[p + i] = in[i];
    c.last[i] = in[i];
  }
  fft(c.work, false);
  c.newest = c.newest + 1 == c.parts ? 0 : c.newest + 1;
  std::vector<cplx>& slot = c.ring[c.newest];
  for (int b = 0; b <= p; ++b) slot[b] = c.work[b];

  std::fill(c.sum.begin(), c.sum.end(), cplx(0, 0));
  int r = c.newest;
  for (int part = 0; part < c.parts; ++part) {
    const std::vector<cplx>& x = c.ring[r];
    const std::vector<cplx>& h = c.h[part];
    for (int b = 0; b <= p; ++b) c.sum[b] += mul(x[b], h[b]);
    r = r == 0 ? c.parts - 1 : r - 1;
  }
  // A real signal's spectrum: the upper half mirrors the lower.
  for (int b = 0; b <= p; ++b) c.work[b] = c.sum[b];
  for (int b = p + 1; b < n; ++b) c.work[b] = std::conj(c.sum[n - b]);
  fft(c.work, true);
  for (int i = 0; i < p; ++i) out[i] = static_cast<float>(c.work[p + i].real() / n);
}

std::vector<float> directconvolve(const std::vector<float>& x, const std::vector<float>& h) {
  std::vector<float> y(x.size(), 0.0f);
  for (size_t t = 0; t < x.size(); ++t) {
    double s = 0;
    for (size_t k = 0; k < h.size() && k <= t; ++k) s += static_cast<double>(h[k]) * x[t - k];
    y[t] = static_cast<float>(s);
  }
  return y;
}
