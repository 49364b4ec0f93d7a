// howltransform.cpp: the spread transform. Thread: audio (howltransformtables:
// howlstart, before any audio). See howltransform.h for the precision of each part.
#include "howlcut/howltransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void howltransformtables(HowlState& st) {
  const double pi2 = 2.0 * std::numbers::pi;
  double sum = 0.0;
  for (int i = 0; i < howlfftsize; i++) {
    const double phase = pi2 * i / howlfftsize;
    st.window[i] = 0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2.0 * phase);
    sum += st.window[i];
    int r = 0;
    for (int b = 1, v = i; b < howlfftsize; b <<= 1, v >>= 1) r = (r << 1) | (v & 1);
    st.reverse[i] = static_cast<int16_t>(r);
  }
  for (int j = 0; j < howlfftsize / 2; j++) {
    st.twiddle[j][0] = std::cos(pi2 * j / howlfftsize);
    st.twiddle[j][1] = -std::sin(pi2 * j / howlfftsize);
  }
  // A full-scale sine (amplitude 32767, the 16-bit scale) on a bin has
  // |X| = 32767 * sum(window) / 2 there.
  const double peak = 32767.0 * sum / 2.0;
  st.reference = peak * peak;
}

void howlwindowstep(HowlState& st, int first, int count) {
  const int64_t start = st.work.end - howlfftsize;
  for (int i = first; i < first + count; i++) {
    const int at = static_cast<int>((start + i) % howlringsize);
    const int to = st.reverse[i];
    st.re[to] = st.window[i] * st.ring[0][at];
    st.im[to] = st.window[i] * st.ring[1][at];
  }
}

// Radix-2 decimation in time on bit-reversed input. Butterfly number b counts
// through the stages: stage b / 2048 joins halves of length 2^stage.
void howlfftstep(HowlState& st, int first, int count) {
  for (int b = first; b < first + count; b++) {
    const int stage = b / (howlfftsize / 2);
    const int j = b % (howlfftsize / 2);
    const int half = 1 << stage;
    const int group = j >> stage;
    const int pos = j & (half - 1);
    const int i0 = (group << (stage + 1)) + pos;
    const int i1 = i0 + half;
    const int tw = pos << (11 - stage);  // pos * N / (2 * half)
    const double wr = st.twiddle[tw][0], wi = st.twiddle[tw][1];
    const double tr = wr * st.re[i1] - wi * st.im[i1];
    const double ti = wr * st.im[i1] + wi * st.re[i1];
    st.re[i1] = st.re[i0] - tr;
    st.im[i1] = st.im[i0] - ti;
    st.re[i0] = st.re[i0] + tr;
    st.im[i0] = st.im[i0] + ti;
  }
}

// Z = FFT(l + i r): L[k] = (Z[k] + conj Z[N-k]) / 2, R[k] = (Z[k] - conj Z[N-k]) / 2i.
void howlsplitstep(HowlState& st, int first, int count) {
  float* row = st.history[st.newest];
  for (int k = first; k < first + count; k++) {
    const int m = (howlfftsize - k) & (howlfftsize - 1);
    const double lr = st.re[k] + st.re[m], li = st.im[k] - st.im[m];
    const double rr = st.re[k] - st.re[m], ri = st.im[k] + st.im[m];
    const double power = std::max(lr * lr + li * li, rr * rr + ri * ri) * 0.25;
    row[k] = static_cast<float>(10.0 * std::log10(power / st.reference + 1e-20));
  }
}

float howllevel(const HowlState& st, int row, int k) {
  const float* h = st.history[row];
  return std::max(h[k], std::max(h[k - 1], h[k + 1]));
}
