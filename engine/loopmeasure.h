// loopmeasure.h: the loop test's measurement path (audio thread).
#pragma once
#include "engine/enginestate.h"

// Passes or blanks x (pass, 0, pass, 0 ...) and, every fourth call, updates
// engine.testlevel with the test tone's magnitude measured in the input history.
float loopmeasure(ChainMemories &m, float x);
