// ringoutdsp.cpp: ringout's per-sample processing.
// Thread: ringoutproc runs on the host's audio thread only; ringoutstart runs
// once when the module loads, before any audio.
//
// Every step is double arithmetic; a value written to a float member (the
// working sample y, the echo line, the high-pass states) is rounded there and
// read back as that float. Do not "simplify" an expression: the order of the
// operations and the exact constants are part of the sound.
#include "ringout/ringoutdsp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Nearest integer, halves to the even neighbour, whatever the FPU rounding
// mode, without a library call. From 2^52 on every double is whole already.
double roundhalfeven(double value) {
  if (!(std::fabs(value) < 4503599627370496.0)) return value;
  int64_t below = static_cast<int64_t>(value);
  if (static_cast<double>(below) > value) below -= 1;  // truncation to floor
  const double fraction = value - static_cast<double>(below);
  if (fraction > 0.5 || (fraction == 0.5 && (below & 1) != 0)) below += 1;
  return static_cast<double>(below);
}

// A computed ring position (already a whole number) brought into 1..ringlength.
// For the positions the window's settings give, this is the single addition of
// ringlength to a position below 1; settings from a file are not ranged, so a
// position is wrapped fully, and one that is not finite lands on ringlength.
int32_t wrapposition(double position) {
  if (position >= 1.0 && position <= ringlength) return static_cast<int32_t>(position);
  if (position < 1.0 && position >= 1.0 - ringlength) return static_cast<int32_t>(position + ringlength);
  double wrapped = std::fmod(position, static_cast<double>(ringlength));
  if (!(wrapped >= 1.0)) wrapped += ringlength;
  if (!(wrapped >= 1.0 && wrapped <= ringlength)) wrapped = ringlength;
  return static_cast<int32_t>(wrapped);
}

// Five first-order high-pass stages in series (k = 0.0033), updated from the
// last to the first: each stage hears what the stage before it made of the
// previous sample of this channel, so the cascade delays by four samples.
float highpasscascade(RingoutChannel &ch, float y) {
  const double k = 0.0033;
  for (int i = 4; i >= 1; i--) {
    ch.lp[i] = static_cast<float>(ch.lp[i] + (static_cast<double>(ch.hp[i - 1]) - ch.lp[i]) * k);
    ch.hp[i] = static_cast<float>(static_cast<double>(ch.hp[i - 1]) - ch.lp[i]);
  }
  ch.lp[0] = static_cast<float>(ch.lp[0] + (static_cast<double>(y) - ch.lp[0]) * k);
  ch.hp[0] = static_cast<float>(static_cast<double>(y) - ch.lp[0]);
  return ch.hp[4];
}

// Shared level analysis of the cascade output: E drops below 1 while the level
// rises and climbs above 1 while it falls; D = min(2E, 3) drives the ring line.
void levelanalysis(RingoutState &st, double y) {
  const double u = std::max(3.0 - st.D, 1.0);
  st.A = st.A + u * (0.985 * st.B - st.A) * 0.001;
  st.C = st.C + (25.0 + st.B - st.C) * 0.004;
  st.B = st.B + (std::fabs(y) - st.B) * 0.003;
  const double v = std::max(0.05 * st.C + 80.0, 100.0);
  st.S = st.S + (v - st.S) * 0.1;
  if (st.A < st.C) {
    st.E = st.E + (st.S / (st.C + st.S - st.A) - st.E) * 0.02;
    st.E = std::max(st.E, 0.85);
  } else {
    st.E = st.E + ((st.A + st.S - st.C) / st.S - st.E) * 0.01;
    st.E = std::min(st.E, 1.99);
  }
  st.F = std::min(std::max(0.001 * st.C, 0.05), 3.0);
  st.D = std::min(2 * st.E, 3.0);
}

// Reads `decay`, raising a value below 1.0 to 1.0 in the parameter itself.
// The exchange only replaces the low value it read, never a newer one that
// the window has just written.
double readdecay(RingoutParams &par) {
  float decay = par.decay.load(relaxed);
  if (decay < 1.0) {
    par.decay.compare_exchange_strong(decay, 1.0f, relaxed);
    decay = 1.0f;
  }
  return decay;
}

// The ring-out stage of one channel set: a recursive line whose values are
// mixed in, 19,300 frames after they were written, as far as the boost M
// stands above 1; M follows the envelope's fall since the last peak.
float ringoutstage(RingoutState &st, RingoutChannel &ch, RingoutParams &par, bool firstset, double y) {
  double *ring = ch.line->ring;
  double *envelope = ch.line->envelope;
  const double tdecay = par.tdecay.load(relaxed);
  const double kdecay = par.kdecay.load(relaxed);

  ch.n = ch.n + 1;
  if (ch.n > ringlength) ch.n = 1;
  int32_t p1 = ch.n - ringoffset;
  if (p1 < 1) p1 += ringlength;
  const int32_t p2 = wrapposition(roundhalfeven(ch.n - ringoffset - 150 * tdecay));
  const int32_t p3 = wrapposition(roundhalfeven(ch.n - ringoffset - 210 * tdecay));
  const double kd = firstset ? kdecay : kdecay * (st.E + 10) / 11;

  ring[ch.n] = y * st.D;
  ring[p1] = ring[p1] - (0.4 * ring[p2] + 0.37 * ring[p3]) * kd / 0.77;

  ch.Q = ch.Q + (y - ch.Q) * 0.5;
  ch.J = ch.J + (std::fabs(ch.Q) - ch.J) * 0.001;
  ch.T2 = ch.T2 + (ch.T1 - ch.T2) * 0.008;
  ch.K = ch.K + (std::max(std::fabs(ring[p1]) * ch.T2, std::fabs(ch.Q)) - ch.K) * 0.001;
  ch.P = ch.P + (ch.K - ch.P) * 0.003;
  if (std::fabs(y) > 200 * st.F + ch.P) {
    ch.K = std::fabs(y);
    ch.P = std::fabs(y);
    ch.T1 = 1.0;
  }
  envelope[ch.n] = ch.P;

  const double decay = readdecay(par);
  if (ch.R < ch.P - 150 * st.F) {
    ch.R = ch.P;
    ch.hold = 0;
  } else {
    ch.R = ch.R - 0.0001 * ch.R / decay * 0.03;
    ch.hold = std::min(ch.hold + 1, ringlength - 2);
  }

  // Boost limit: a quiet passage relative to the last peak allows less boost.
  const double g1 = std::min(2 * ch.P / std::max(ch.R, 4000.0), 1.0);
  const double g2 = std::max(std::min(3 * g1 * g1, 0.85 / 0.12), 1.0);
  if (ch.hold > 150) {
    // Compare the fall since the peak with the fall the envelope had made at
    // the moment `decay` times further back.
    const int32_t r = wrapposition(roundhalfeven(ch.n - ch.hold * (decay - 1) / decay));
    const double q = std::max(ch.R - ch.P, 100.0) / std::max(ch.R - envelope[r], 100.0);
    double ratio = std::max(std::min(q, g2), 1.0);
    if (ch.J < ch.Th) {
      ch.Th = 2000;
      ratio = 1.0;
      ch.T1 = std::max(ch.T1 - 0.0001, 0.01);
    } else {
      ch.Th = 1000;
    }
    if (ch.G < ratio) {
      ch.G = ch.G + (ratio - ch.G) * 0.004;
    } else {
      ch.G = ch.G + (ratio - ch.G) * 0.003;
    }
  } else {
    ch.G = ch.G + (1 - ch.G) * 0.003;
  }
  ch.M = ch.M + (ch.G - ch.M) * 0.01;

  // Crossfade from the plain sample (M = 1) to the ring line's mix (M = 1.3).
  const double w = 0.75 * y + (ch.M - 0.75) * ring[p1];
  if (ch.M > 1.3) return static_cast<float>(w);
  const double s = (ch.M - 1) / 0.3;
  return static_cast<float>((1 - s) * ch.M * y + s * w);
}

// Limiter on the processed copy: keeps the stored echo within +-32700 and
// scales it by `gain` percent (capped at 100 %) and by E while the level rises.
float limiter(RingoutState &st, RingoutParams &par, double y) {
  const double g = std::min(par.gain.load(relaxed) * 0.01, 1.0);
  const double e = std::min(st.E, 1.0);
  const double a = 0.12 * g * e;
  const double t = 30000 * a * a;
  if (std::fabs(y * a) > t) {
    const double r = t / std::fabs(y);
    st.L = st.L + (r - st.L) * 0.01;
    st.L = std::min(st.L, 1.07 * r);
  } else {
    st.L = st.L + (a - st.L) * 0.0003;
  }
  return static_cast<float>(std::min(std::max(y * st.L, -32700.0), 32700.0));
}

}  // namespace

void ringoutstart(RingoutState &state, RingoutLines &lines) {
  std::memset(&state, 0, sizeof state);
  std::memset(&lines, 0, sizeof lines);
  state.S = 100;
  for (int c = 0; c < 2; c++) {
    RingoutChannel &ch = state.set[c];
    ch.T1 = 1.0;
    ch.T2 = 1.0;
    ch.Th = 1000.0;
    ch.line = &lines.set[c];
  }
}

float ringoutproc(RingoutState &st, RingoutParams &par, float x) {
  const double rate = par.rate.load(relaxed);

  // 1. The dry sample plus the oldest echo, on the loop's internal scale.
  float y = static_cast<float>((x + 0.8 * rate * st.echo[st.pos]) / 0.12);
  if (!std::isfinite(y)) y = 0.0f;

  // 2. Left samples use set 1, right samples set 2.
  st.toggle = st.toggle + 1;
  if (st.toggle > 1) st.toggle = 0;
  // 3. Switched off: the state rests, only the toggle keeps the channels aligned.
  if (par.tdecayon.load(relaxed) != 1) return x;
  RingoutChannel &ch = st.set[st.toggle == 1 ? 0 : 1];

  y = highpasscascade(ch, y);                                  // 4.
  levelanalysis(st, y);                                        // 5.
  y = ringoutstage(st, ch, par, st.toggle == 1, y);            // 6.
  y = limiter(st, par, y);                                     // 7., 8.

  // 9. Store the processed copy as the newest echo.
  st.echo[st.pos] = y;
  st.pos = st.pos + 1;
  if (st.pos > echolength - 1) st.pos = 0;

  // 10. Dry sample plus the echo 2 samples past the write position.
  return static_cast<float>(x + rate * st.echo[(st.pos + 2) % echolength] * 0.9);
}
