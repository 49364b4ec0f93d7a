// pluginslot.h: the six plug-in slots, filled by the plug-in host, read per sample
// by the engine's plug-in chain. Portable: the native engine tests fill slots too.
//
//   pluginslots[n].pluginproc = myproc;   // slot n (1..6) in the chain from the next block
//   clearpluginentries(pluginslots[n]);   // its four entry points empty; the module stays
//
// Entries 1..6 are used (entry 0 never is). The four entry points of a slot are
// all bound or all empty. The host fills a slot before audio may use it and
// empties it only after audio has stopped.
#pragma once
#include "pluginhost/plugincontract.h"

constexpr int pluginslotcount = 6;

struct PluginSlot {
  void *module;               // module handle (HMODULE on Windows), null when empty
  plugininit_fn plugininit;   // each bound or null
  pluginmain_fn pluginmain;
  pluginproc_fn pluginproc;
  pluginclose_fn pluginclose;
  void *windowthread;         // thread running pluginmain, null when none
};

extern PluginSlot pluginslots[pluginslotcount + 1];  // [1..6]

// Empties the four entry points of a slot (all or nothing); module and window
// thread are left as they are.
inline void clearpluginentries(PluginSlot &slot) {
  slot.plugininit = nullptr;
  slot.pluginmain = nullptr;
  slot.pluginproc = nullptr;
  slot.pluginclose = nullptr;
}
