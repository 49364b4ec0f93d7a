// howlcutdsp.cpp: howlcut's per-sample loop. Thread: howlproc runs on the
// host's audio thread only; howlstart once when the module loads, before any
// audio.
//
// Each call: the sample is sanitised, kept for the analysis, passed through
// the notches (double), and one small step of the analysis runs. Calls
// alternate left, right; the frame count (one per pair) clocks the analysis.
#include "howlcut/howlcutdsp.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "howlcut/howlanalysis.h"
#include "howlcut/howlcutstate.h"
#include "howlcut/howlnotches.h"
#include "howlcut/howltransform.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Drops every notch and what the analysis has gathered; the count of
// placed notches stays.
void resetall(HowlState& st) {
  howlclearbank(st);
  std::fill(&st.history[0][0], &st.history[0][0] + howlhistory * howlbins, -200.0f);
  std::memset(st.run, 0, sizeof st.run);
  std::fill(st.held, st.held + howlbins, -200.0f);
  std::fill(st.present, st.present + howlbins, 0.0f);
  std::fill(st.segmentsum, st.segmentsum + howlbins, 0.0f);
  std::fill(&st.segment[0][0], &st.segment[0][0] + howlsegments * howlbins, -200.0f);
  st.analyses = 0;
  st.risers = 0;
  st.runner = 0;
  st.loudest = 0;
  st.climber = 0;
  st.work.phase = howlidle;
  st.work.step = 0;
}

}  // namespace

float howldisplayfrequency(int i) {
  return 50.0f * std::pow(400.0f, static_cast<float>(i) / (howldisplaybins - 1));
}

void howlstart(HowlState& st) {
  std::memset(&st, 0, sizeof st);
  howltransformtables(st);
  resetall(st);
  // Display point i shows the bins from halfway to its lower neighbour to
  // halfway to its upper one (at least its own bin).
  const double perbin = howlfftsize / howlrate;
  for (int i = 0; i < howldisplaybins; i++) {
    const double f = howldisplayfrequency(i);
    const double step = std::pow(400.0, 0.5 / (howldisplaybins - 1));
    int low = static_cast<int>(std::lround(f / step * perbin));
    int high = static_cast<int>(std::lround(f * step * perbin));
    const int own = static_cast<int>(std::lround(f * perbin));
    if (low > own) low = own;
    if (high < own) high = own;
    st.displaylow[i] = static_cast<int16_t>(low < 0 ? 0 : low);
    st.displayhigh[i] = static_cast<int16_t>(high > howlbins - 1 ? howlbins - 1 : high);
  }
}

float howlproc(HowlState& st, HowlParams& params, HowlDisplay& display, float sample) {
  const int channel = st.channel;
  st.channel ^= 1;
  if (channel == 0) {
    if (params.reset.load(relaxed) != 0) {
      resetall(st);
      params.reset.store(0, relaxed);
    }
    howlrampframe(st);
  }
  const bool on = params.on.load(relaxed) != 0;
  // A NaN or infinity counts as silence, for the state and for the output.
  const float x = std::fabs(sample) <= FLT_MAX ? sample : 0.0f;
  st.ring[channel][st.frames % howlringsize] = x;
  double y = howlfilter(st, channel, x);
  if (channel == 1) {
    st.frames++;
    if (st.frames % howlhop == 0 && st.frames >= howlfftsize) howlbeginanalysis(st);
  }
  howlanalysisstep(st, params, display);
  if (!on) return sample;  // the analysis and the memories still run: switching on is smooth
  // The notches never gain, but a ringing bandpass can overshoot a little:
  // a finite input stays a finite output.
  if (y > FLT_MAX) y = FLT_MAX;
  if (y < -FLT_MAX) y = -FLT_MAX;
  return static_cast<float>(y);
}
