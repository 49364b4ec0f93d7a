// howlanalysis.h: the analysis that runs beside the sound, one small step per
// howlproc call, started every 1024 frames by the frame count alone. Audio
// thread only.
//
//   if (frames % howlhop == 0) howlbeginanalysis(state);   // a window has filled
//   howlanalysisstep(state, params, display);               // every call: one step, if any
//
// The steps of one analysis (window, transform, split, peak scan, scoring,
// judging the notches, publishing the display) take about 600 calls, so each
// analysis ends some 300 frames after its window, long before the next begins.
#pragma once
#include "howlcut/howlcutdsp.h"
#include "howlcut/howlcutstate.h"

enum HowlPhase : int32_t {
  howlidle = 0,
  howlwindowing,
  howltransforming,
  howlsplitting,
  howlscanning,
  howlscoring,
  howljudging,
  howlpublishing,
};

void howlbeginanalysis(HowlState& state);
void howlanalysisstep(HowlState& state, HowlParams& params, HowlDisplay& display);
