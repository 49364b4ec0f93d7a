// howlcutmodule.h: the module-wide values of the howlcut plug-in, shared by
// its exports (howlcutmodule.cpp) and its window (howlcutwindow.cpp).
// One instance per loaded module: copies in two plug-in folders are two
// modules with values of their own.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "howlcut/howlcutdsp.h"
#include "howlcut/howlcutsettings.h"

extern HowlParams howlparams;              // window thread / plugininit write, audio thread reads
extern HowlDisplay howldisplay;            // audio thread writes, window thread reads
extern HowlPlace howlplace;                // plugininit writes; the window reads and writes
extern std::atomic<int32_t> howlcloserequest;  // 1: end the window loop (pluginclose, close box);
                                               // 0 again once that run is over
extern std::string howlfolder;             // the module's folder, set by plugininit before any window runs
extern std::string howlsettingsfile;       // "howlcut.ini" until plugininit: howlfolder + "/howlcut.ini"
