// howlrig.cpp: calls howlproc per sample, interleaved, as the host does.
#include "bench/howlsim/howlrig.h"

#include <new>

#include "howlcut/howlcutstate.h"

HowlRig::HowlRig() : state(std::make_unique<HowlState>()), display(std::make_unique<HowlDisplay>()) {}
HowlRig::~HowlRig() = default;

namespace {

void rigstart(void* context) {
  HowlRig& rig = *static_cast<HowlRig*>(context);
  rig.display.reset(new HowlDisplay());
  howlstart(*rig.state);
  rig.params.on.store(1);
  rig.params.sensitivity.store(rig.sensitivity);
  rig.params.reset.store(0);
}

void rigblock(void* context, float* x, int frames) {
  HowlRig& rig = *static_cast<HowlRig*>(context);
  for (int i = 0; i < 2 * frames; ++i) x[i] = howlproc(*rig.state, rig.params, *rig.display, x[i]);
}

int rigplaced(void* context) { return static_cast<HowlRig*>(context)->display->placed.load(); }

int rigactive(void* context) {
  const HowlDisplay& d = *static_cast<HowlRig*>(context)->display;
  int n = 0;
  for (const HowlNotchView& v : d.notch) n += v.frequency.load() > 0;
  return n;
}

}  // namespace

SimPlugin simhowlcut(HowlRig& rig) { return {rigstart, rigblock, rigplaced, rigactive, &rig}; }
