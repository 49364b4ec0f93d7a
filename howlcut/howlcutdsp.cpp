// howlcutdsp.cpp: placeholder: passes the sound through unchanged.
#include "howlcut/howlcutdsp.h"

#include <cmath>

#include "howlcut/howlcutstate.h"

float howldisplayfrequency(int i) {
  return 50.0f * std::pow(400.0f, static_cast<float>(i) / (howldisplaybins - 1));
}

void howlstart(HowlState& state) { state.channel = 0; }

float howlproc(HowlState& state, HowlParams&, HowlDisplay&, float sample) {
  state.channel ^= 1;
  return sample;
}
