// fftconv.cpp: the transform and the partitioned convolution.
#include "bench/howlsim/fftconv.h"

#include <algorithm>
#include <cmath>

namespace {

// Plain complex product: std::complex's operator* checks for infinities
// through a library call on every product.
inline cplx mul(const cplx& a, const cplx& b) {
  return cplx(a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real());
}

// e^(sign·2πik/n) for k = 0..n/2, kept for the last size asked for.
const std::vector<cplx>& twiddles(int n, int sign) {
  static thread_local std::vector<cplx> table[2];
  static thread_local int size[2] = {0, 0};
  const int s = sign > 0;
  if (size[s] != n) {
    table[s].resize(n / 2 + 1);
    for (int k = 0; k <= n / 2; ++k) table[s][k] = std::polar(1.0, sign * 2 * M_PI * k / n);
    size[s] = n;
  }
  return table[s];
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

void realfft(const double* x, int n, std::vector<cplx>& half, cplx* out) {
  const int m = n / 2;
  half.resize(m);
  for (int k = 0; k < m; ++k) half[k] = cplx(x[2 * k], x[2 * k + 1]);
  fft(half, false);
  const std::vector<cplx>& w = twiddles(n, -1);
  // Even samples' spectrum E = (Z[k] + conj Z[m-k]) / 2, odd ones'
  // O = (Z[k] - conj Z[m-k]) / 2i; X[k] = E + w^k O.
  for (int k = 0; k <= m; ++k) {
    const cplx a = half[k % m], b = std::conj(half[(m - k) % m]);
    const cplx d = a - b;
    const cplx even = 0.5 * (a + b), odd(0.5 * d.imag(), -0.5 * d.real());
    out[k] = even + mul(w[k], odd);
  }
}

void realifft(const cplx* in, int n, std::vector<cplx>& half, double* x) {
  const int m = n / 2;
  half.resize(m);
  const std::vector<cplx>& w = twiddles(n, 1);
  for (int k = 0; k < m; ++k) {
    const cplx a = in[k], b = std::conj(in[m - k]);
    const cplx even = 0.5 * (a + b), odd = mul(w[k], 0.5 * (a - b));
    half[k] = even + cplx(-odd.imag(), odd.real());
  }
  fft(half, true);
  for (int k = 0; k < m; ++k) {
    x[2 * k] = half[k].real() / m;
    x[2 * k + 1] = half[k].imag() / m;
  }
}

void convstart(Convolver& c, const std::vector<float>& response, int partition) {
  c.partition = partition;
  c.parts = std::max<int>(1, (static_cast<int>(response.size()) + partition - 1) / partition);
  const int n = 2 * partition;
  c.h.assign(c.parts, std::vector<cplx>(partition + 1));
  c.block.assign(n, 0.0);
  for (int p = 0; p < c.parts; ++p) {
    std::fill(c.block.begin(), c.block.end(), 0.0);
    for (int i = 0; i < partition; ++i) {
      const size_t k = static_cast<size_t>(p) * partition + i;
      if (k < response.size()) c.block[i] = response[k];
    }
    realfft(c.block.data(), n, c.half, c.h[p].data());
  }
  c.ring.assign(c.parts, std::vector<cplx>(partition + 1, cplx(0, 0)));
  c.newest = 0;
  c.block.assign(n, 0.0);
  c.sum.assign(partition + 1, cplx(0, 0));
}

void convblock(Convolver& c, const float* in, float* out) {
  const int p = c.partition, n = 2 * p;
  // Overlap-save: the previous block and this one, transformed together.
  std::copy(c.block.begin() + p, c.block.end(), c.block.begin());
  for (int i = 0; i < p; ++i) c.block[p + i] = in[i];
  c.newest = c.newest + 1 == c.parts ? 0 : c.newest + 1;
  realfft(c.block.data(), n, c.half, c.ring[c.newest].data());

  std::fill(c.sum.begin(), c.sum.end(), cplx(0, 0));
  int r = c.newest;
  for (int part = 0; part < c.parts; ++part) {
    const std::vector<cplx>& x = c.ring[r];
    const std::vector<cplx>& h = c.h[part];
    for (int b = 0; b <= p; ++b) c.sum[b] += mul(x[b], h[b]);
    r = r == 0 ? c.parts - 1 : r - 1;
  }
  static thread_local std::vector<double> y;
  y.resize(n);
  realifft(c.sum.data(), n, c.half, y.data());
  for (int i = 0; i < p; ++i) out[i] = static_cast<float>(y[p + i]);
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
