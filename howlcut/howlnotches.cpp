// howlnotches.cpp: placing, deepening, releasing and reusing notches.
// Thread: audio. Arithmetic: double.
#include "howlcut/howlnotches.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "howlcut/howlpeaks.h"
#include "howlcut/howltransform.h"

namespace {

double cutofdepth(double depth) { return 1.0 - std::pow(10.0, -depth / 20.0); }

void tune(HowlNotch& n, double frequency) {
  n.frequency = frequency;
  howlbandpass(frequency, n.b0, n.a1, n.a2);
}

void deepen(HowlState& st, HowlNotch& n) {
  n.spent = 0;
  n.depth = std::min(std::max(n.depth, howlfirstdepth - howldeepenstep) + howldeepenstep, howlmaxdepth);
  n.cuttarget = cutofdepth(n.depth);
  n.changed = st.analyses;
}

void install(HowlState& st, int i, double frequency) {
  std::memset(&st.memory[0][i], 0, sizeof(HowlMemory));
  std::memset(&st.memory[1][i], 0, sizeof(HowlMemory));
  HowlNotch& n = st.notch[i];
  n = HowlNotch{};
  n.active = 1;
  tune(n, frequency);
  n.depth = howlfirstdepth;
  n.cuttarget = cutofdepth(n.depth);
  n.placedframe = st.frames;
  n.changed = n.heard = st.analyses;
  n.hits = 1;
}

// A free slot starts at once, or else one given back to 0 dB and waiting for
// its howl; when the bank is full the notch placed longest ago fades out
// first and then takes the new frequency (see howlrampframe).
void place(HowlState& st, double frequency) {
  st.placed++;
  int oldest = -1, waiting = -1;
  for (int i = 0; i < howlnotchcount; i++) {
    HowlNotch& n = st.notch[i];
    if (!n.active) {
      install(st, i, frequency);
      return;
    }
    if (n.nextfrequency > 0.0) continue;
    if (waiting < 0 && n.depth <= 0.0 && n.cut <= 0.0) waiting = i;
    if (oldest < 0 || n.placedframe < st.notch[oldest].placedframe) oldest = i;
  }
  if (waiting >= 0) {
    install(st, waiting, frequency);
    return;
  }
  if (oldest < 0) return;  // every slot is already being handed over
  HowlNotch& n = st.notch[oldest];
  n.nextfrequency = frequency;
  n.cuttarget = 0.0;
  n.changed = n.heard = st.analyses;
}

}  // namespace

void howlbandpass(double frequency, double& b0, double& a1, double& a2) {
  const double w0 = 2.0 * std::numbers::pi * frequency / howlrate;
  const double alpha = std::sin(w0) / (2.0 * howlnotchq);
  const double a0 = 1.0 + alpha;
  b0 = alpha / a0;
  a1 = -2.0 * std::cos(w0) / a0;
  a2 = (1.0 - alpha) / a0;
}

void howlnotchbiquad(double frequency, double depth, double c[5]) {
  double b0, a1, a2;
  howlbandpass(frequency, b0, a1, a2);
  const double cut = cutofdepth(depth);
  c[0] = 1.0 - cut * b0;
  c[1] = a1;
  c[2] = a2 + cut * b0;
  c[3] = a1;
  c[4] = a2;
}

namespace {
bool besidecap(const HowlNotch& n, double frequency) {
  const double bins = std::fabs(frequency - n.frequency) * howlfftsize / howlrate;
  return n.active && n.nextfrequency <= 0.0 && n.depth >= howlmaxdepth && bins >= howlnextmodenear &&
         bins <= howlnextmodefar && std::fabs(std::log2(frequency / n.frequency)) <= howlcapture;
}
}  // namespace

bool howlnextmode(const HowlState& st, double frequency) {
  for (const HowlNotch& n : st.notch)
    if (besidecap(n, frequency)) return true;
  return false;
}

// A howl near an active notch is that notch's: it deepens (once the last
// change has had time to act) and moves onto the howl. Otherwise, or when it is
// the next mode beside a notch at its cap, a notch is placed.
void howlfound(HowlState& st, double frequency) {
  for (HowlNotch& n : st.notch) {
    if (!n.active) continue;
    const double target = n.nextfrequency > 0.0 ? n.nextfrequency : n.frequency;
    if (std::fabs(std::log2(frequency / target)) > howlcapture) continue;
    if (n.nextfrequency > 0.0) return;  // its slot is on the way
    if (besidecap(n, frequency)) continue;  // the next mode: a notch of its own
    if (st.analyses - n.heard > 2 * howlsettle) n.hits++;  // it came back after a rest
    n.heard = st.analyses;
    if (st.analyses - n.changed < howlsettle) return;
    if (std::fabs(std::log2(frequency / n.frequency)) > howlretune) tune(n, frequency);
    deepen(st, n);
    return;
  }
  place(st, frequency);
}

// After each analysis: a notch whose howl still stands out and has not begun
// to fall since the notch last changed is deepened; one not heard from for a
// while gives its depth back.
void howljudge(HowlState& st, const HowlSensitivityTuning& tuning) {
  for (HowlNotch& n : st.notch) {
    if (!n.active || n.nextfrequency > 0.0) continue;
    const int k = static_cast<int>(std::lround(n.frequency * howlfftsize / howlrate));
    const int64_t since = st.analyses - n.changed;
    if (since >= howlsettle && st.analyses >= howlhistory && k >= howllowbin && k <= howlhighbin &&
        n.depth < howlmaxdepth) {
      const int now = st.newest;
      const float level = howllevel(st, now, k);
      const float before = howllevel(st, (now + howlhistory - 2) % howlhistory, k);
      const float atchange = howllevel(st, (now + howlhistory - std::min<int64_t>(since, howlhistory - 1)) % howlhistory, k);
      if (level > before - 1.0f && level > atchange - 1.0f && howlpeakness(st, now, k) >= howlpeakmin &&
          !howlharmonic(st, k, tuning.harmonicgap)) {
        n.heard = st.analyses;
        deepen(st, n);
        continue;
      }
    }
    const int64_t rest = st.analyses - n.heard - howlhold;
    if (n.hits < howlkeephits && rest >= 0 && rest % howlreleasestep == 0) {
      if (n.depth <= 0.0) {
        n.spent = 1;  // its howl stayed away a whole step at 0 dB
        continue;
      }
      n.depth = std::max(n.depth - howldeepenstep, 0.0);
      n.cuttarget = n.depth > 0.0 ? cutofdepth(n.depth) : 0.0;
    }
  }
}

void howlrampframe(HowlState& st) {
  for (int i = 0; i < howlnotchcount; i++) {
    HowlNotch& n = st.notch[i];
    if (!n.active) continue;
    if (n.cut < n.cuttarget) n.cut = std::min(n.cut + howlcutramp, n.cuttarget);
    else if (n.cut > n.cuttarget) n.cut = std::max(n.cut - howlcutramp, n.cuttarget);
    if (n.cut > 0.0) continue;
    if (n.nextfrequency > 0.0) {
      install(st, i, n.nextfrequency);  // faded out: the slot takes its new howl
    } else if (n.depth <= 0.0 && n.spent) {  // released
      n.active = 0;
    }
  }
}

void howlclearbank(HowlState& st) {
  for (HowlNotch& n : st.notch) n = HowlNotch{};
  std::memset(st.memory, 0, sizeof st.memory);
}
