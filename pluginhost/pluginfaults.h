// pluginfaults.h: catching and reporting plug-in faults (Win32).
//
//   installpluginguard();             // once, before any plug-in call (loadplugins and
//                                     // loadpluginfile do it)
//   ... audio runs; a faulting pluginproc switches its slot off (pluginhost/pluginguard.h)
//   reportpluginfaults("roomcaster_live");  // main thread, every pass of the main loop
//
// A fault is an access violation, an integer division by zero or overflow, a
// stack overflow, an illegal or privileged instruction, a floating-point trap or
// a page that cannot be read in. Other exceptions (C++ exceptions, breakpoints)
// pass on to the plug-in's own handlers untouched.
//
// Each fault is reported once, on the main thread: one line on stderr, the same
// line on the debug output, and appended with the date and time to
// plugin-faults.log beside the program:
//   roomcaster_live: plug-in slot 2 (C:\rc\plugin2\crashy.dll) faulted in pluginproc
//   (access violation, code c0000005) and is switched off
#pragma once
#include <cstdint>
#include <string>

#include "pluginhost/pluginslot.h"

// Installs the process's fault catcher and sets pluginguard.run. Idempotent.
void installpluginguard();

// Runs call() inside the guard on the calling thread; 0, or the fault's code.
uint32_t guardedcall(plugininit_fn call);

// Marks slot n as having faulted in plugininit (the host then empties it).
void notepluginfaultininit(int slot, uint32_t code);

// Forgets slot n's fault: the host fills the slot anew (audio stopped).
void clearpluginfault(int slot);

// Reports faults not reported yet; returns how many it reported. Main thread.
int reportpluginfaults(const char *program);

// The program's own folder (or the one setpluginprogramfolder gave), where the
// log is written.
std::string pluginprogramfolder();

// The report line for one fault, without a line ending.
std::string pluginfaultline(const char *program, int slot, const char *modulepath, bool ininit,
                            uint32_t code);
