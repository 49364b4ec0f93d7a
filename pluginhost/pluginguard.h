// pluginguard.h: a plug-in that faults does not take the sound with it.
//
//   pluginguard.run = mycatcher;       // the platform's fault catcher (pluginhost installs
//                                      // one on Windows); null: plug-ins run unguarded
//   processblock(samples, count);      // runs the block's samples inside pluginguard.run
//   if (pluginfault[n].load()) ...     // slot n has faulted and is switched off
//
// A fault inside a plug-in's pluginproc (an access violation, an integer division
// by zero, a stack overflow) ends the block's processing at once: the catcher
// returns to the start of the block with the fault's code, the slot being called
// is marked in pluginfault, and the block is played as silence. From the next
// block on the chain runs without that slot, for the rest of the run. The chain's
// memories stay as they were before that block.
//
// The recovery point is taken once per block; per sample the chain only notes
// which plug-in it is calling.
#pragma once
#include <atomic>
#include <cstdint>

#include "pluginhost/pluginslot.h"

struct PluginGuard {
  // Runs body(context) and returns 0 when it finished, or, when a fault inside it
  // was caught, the fault's code (nonzero; the body did not finish). Safe to call
  // on the audio thread: no allocation, lock or system call on the way in or out.
  uint32_t (*run)(void (*body)(void *context), void *context);
};
extern PluginGuard pluginguard;  // set once by the host before audio starts

// Per slot 1..6: 0, or the code of the fault that switched the slot off. Written
// by the thread that caught it (the audio thread for pluginproc, the main thread
// for plugininit); read by the reporter on the main thread; cleared by the host
// when it fills the slot (audio stopped).
extern std::atomic<uint32_t> pluginfault[pluginslotcount + 1];
