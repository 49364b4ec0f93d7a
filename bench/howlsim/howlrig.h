// howlrig.h: howlcut as the loop's plug-in.
//
//   HowlRig rig;  rig.sensitivity = howlspeech;
//   SimPlugin plugin = simhowlcut(rig);   // each run starts from howlstart
#pragma once
#include <memory>

#include "bench/howlsim/closedloop.h"
#include "howlcut/howlcutdsp.h"

struct HowlRig {
  HowlRig();
  ~HowlRig();
  std::unique_ptr<HowlState> state;  // the module's static state, here on the heap
  HowlParams params;
  std::unique_ptr<HowlDisplay> display;
  int sensitivity = howlmixed;
};

SimPlugin simhowlcut(HowlRig& rig);
