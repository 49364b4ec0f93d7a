// ringoutmodule.h: the module-wide values of the ringout plug-in, shared by
// its exports (ringoutmodule.cpp) and its window (ringoutwindow.cpp).
// One instance per loaded module: two copies of ringout.dll in two plug-in
// folders are two modules with separate values.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "ringout/ringoutdsp.h"
#include "ringout/ringoutsettings.h"

extern RingoutParams ringoutparams;      // window thread / plugininit write, audio thread reads
extern RingoutPlace ringoutplace;        // plugininit writes; the window reads and writes
extern std::atomic<int32_t> closerequest;  // 1: end the window loop (pluginclose, close box);
                                           // 0 again once that run is over
extern std::string modulefolder;         // set by plugininit, before any window runs
extern std::string settingspath;         // "ringout.ini" until plugininit: modulefolder + "/ringout.ini"
