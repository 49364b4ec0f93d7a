// howlcutstate.h: the whole state of one howlcut instance. Audio thread only
// after howlstart. Placeholder until the detector lands.
#pragma once
#include <cstdint>

#include "howlcut/howlcutdsp.h"

struct HowlState {
  int32_t channel;  // 0: the next call is a left sample, 1: right
};
