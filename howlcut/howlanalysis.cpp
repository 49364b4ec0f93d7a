// howlanalysis.cpp: the analysis cut into steps. Thread: audio.
//
// Items per step are chosen so that one step costs well under a microsecond:
// 64 windowed samples, 64 butterflies, 32 bins to dB (a log each), 64 bins
// scanned, one candidate scored, one pass over the notches, 32 display points.
#include "howlcut/howlanalysis.h"

#include <algorithm>
#include <cmath>

#include "howlcut/howlnotches.h"
#include "howlcut/howlpeaks.h"
#include "howlcut/howltransform.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

struct PhaseSize {
  int items;  // items in the phase
  int chunk;  // items per step
};

constexpr PhaseSize phasesize[] = {
    {0, 1},                           // idle
    {howlfftsize, 64},                // windowing
    {howlbutterflies, 64},            // transforming
    {howlbins, 32},                   // splitting
    {howlhighbin + 1, 64},            // scanning
    {howlcandidates, 1},              // scoring
    {1, 1},                           // judging
    {howldisplaybins, 32},            // publishing
};

const HowlSensitivityTuning& tuningof(HowlParams& params) {
  const int32_t s = params.sensitivity.load(relaxed);
  return howlsensitivitytuning[s == howlspeech ? 0 : s == howlmusic ? 2 : 1];
}

bool isset(const HowlState& st, int i) {
  if (i < howlrisers) return i < st.risers;
  return i == howlrunner ? st.runner : i == howlloudest ? st.loudest : st.climber;
}

// Candidate i is set this analysis and not one scored before it.
bool scorable(const HowlState& st, int i) {
  if (!isset(st, i)) return false;
  for (int j = 0; j < i; j++)
    if (isset(st, j) && st.candidate[j].bin == st.candidate[i].bin) return false;
  return true;
}

void publish(HowlState& st, HowlDisplay& display, int first, int count) {
  const float* h = st.history[st.newest];
  for (int i = first; i < first + count; i++) {
    float level = h[st.displaylow[i]];
    for (int k = st.displaylow[i] + 1; k <= st.displayhigh[i]; k++) level = std::max(level, h[k]);
    display.spectrum[i].store(level, relaxed);
  }
  if (first + count < howldisplaybins) return;
  for (int i = 0; i < howlnotchcount; i++) {
    const HowlNotch& n = st.notch[i];
    const bool shown = n.active && n.cut > 0.0;
    display.notch[i].frequency.store(shown ? static_cast<float>(n.frequency) : 0.0f, relaxed);
    display.notch[i].depth.store(shown ? static_cast<float>(-20.0 * std::log10(1.0 - n.cut)) : 0.0f, relaxed);
    display.notch[i].age.store(shown ? static_cast<float>((st.frames - n.placedframe) / howlrate) : 0.0f, relaxed);
  }
  display.placed.store(st.placed, relaxed);
  display.analyses.store(static_cast<int32_t>(st.analyses), relaxed);
}

// What happens as a phase begins.
void enter(HowlState& st, int32_t phase) {
  st.work.phase = phase;
  st.work.step = 0;
  if (phase == howlsplitting) st.newest = (st.newest + 1) % howlhistory;
  if (phase == howlscanning) {
    st.analyses++;
    st.runnow ^= 1;
    st.risers = 0;
    st.runner = 0;
    st.loudest = 0;
    st.climber = 0;
  }
}

}  // namespace

void howlbeginanalysis(HowlState& st) {
  st.work.end = st.frames;
  enter(st, howlwindowing);
}

void howlanalysisstep(HowlState& st, HowlParams& params, HowlDisplay& display) {
  const int32_t phase = st.work.phase;
  if (phase == howlidle) return;
  const int first = st.work.step;
  const int count = std::min(phasesize[phase].chunk, phasesize[phase].items - first);
  const bool on = params.on.load(relaxed) != 0;
  switch (phase) {
    case howlwindowing: howlwindowstep(st, first, count); break;
    case howltransforming: howlfftstep(st, first, count); break;
    case howlsplitting: howlsplitstep(st, first, count); break;
    case howlscanning: howlpeakscan(st, first, count); break;
    case howlscoring:
      if (on && scorable(st, first)) {
        const HowlFinding f = howlscore(st, tuningof(params), first);
        if (f.howl) howlfound(st, f.frequency);
      }
      break;
    case howljudging:
      if (on) howljudge(st, tuningof(params));
      break;
    case howlpublishing: publish(st, display, first, count); break;
  }
  st.work.step = first + count;
  if (st.work.step >= phasesize[phase].items) enter(st, phase == howlpublishing ? howlidle : phase + 1);
}
