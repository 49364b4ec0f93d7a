// howlnotches.h: the bank of notches, shared by both channels (each channel
// its own memories). Audio thread only.
//
//   howlfound(state, frequency);    // a howl was detected: deepen its notch or place one
//   howlnextmode(state, frequency); // beside a notch at its cap: the loop's next mode
//   howljudge(state, tuning);       // after each analysis: deepen what still howls, release what rests
//   howlrampframe(state);           // once per frame: depth ramps, hand-overs, freeing
//   y = howlfilter(state, channel, x);   // every sample: x through each active notch
//   howlclearbank(state);           // reset: every notch dropped, memories cleared
//
// Each notch is H(z) = 1 - c * BP(z), BP the bandpass of constant 0 dB peak
// gain (b0 = alpha / a0, b1 = 0, b2 = -alpha / a0, a1 = -2 cos w0 / a0,
// a2 = (1 - alpha) / a0, a0 = 1 + alpha, alpha = sin w0 / 2Q); at the centre
// |H| = 1 - c. Only c moves while a notch fades or deepens, so the bandpass
// never sees a coefficient change then. Arithmetic: double throughout.
#pragma once
#include "howlcut/howlcutstate.h"

// The bandpass coefficients of a notch at `frequency` Hz: b0, a1, a2.
void howlbandpass(double frequency, double& b0, double& a1, double& a2);
// The notch as one biquad of the given depth (dB of cut at the centre):
// c[0..2] = b0, b1, b2 and c[3..4] = a1, a2 (a0 = 1).
void howlnotchbiquad(double frequency, double depth, double c[5]);

void howlfound(HowlState& state, double frequency);
// A howl at `frequency` is the loop's next mode beside a notch at its cap.
bool howlnextmode(const HowlState& state, double frequency);
void howljudge(HowlState& state, const HowlSensitivityTuning& tuning);
void howlrampframe(HowlState& state);
void howlclearbank(HowlState& state);

// Flushes what has decayed below any audible size (1e-20 on the 16-bit
// scale), so a notch ringing out in silence never reaches subnormal numbers.
inline double howlflush(double v) { return (v > -1e-20 && v < 1e-20) ? 0.0 : v; }

inline double howlfilter(HowlState& st, int channel, double x) {
  for (int n = 0; n < howlnotchcount; n++) {
    const HowlNotch& notch = st.notch[n];
    if (!notch.active) continue;
    HowlMemory& m = st.memory[channel][n];
    const double v = howlflush(notch.b0 * (x - m.x2) - notch.a1 * m.v1 - notch.a2 * m.v2);
    m.x2 = m.x1;
    m.x1 = x;
    m.v2 = m.v1;
    m.v1 = v;
    x = x - notch.cut * v;
  }
  return x;
}
