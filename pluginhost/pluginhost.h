// pluginhost: the six plug-in slots of roomcaster_quarn (Win32, main thread only).
//
//   loadplugins();            // start-up: after the settings, before the window and audio
//   togglepluginwindows();    // the "plugins" button: any window running → close all, else start
//   unloadplugins();          // exit: after the audio devices are closed
//   loadpluginfile(path, n);  // the renderer's --plugin PATH: one module into slot n
//
// Slot n (1..6) takes the first module of folder "plugin", "plugin2" ... "plugin6":
// the folder is searched in the current directory, the module is loaded from the
// same-named folder beside the program. A module that lacks one of plugininit,
// pluginmain, pluginproc, pluginclose stays loaded but unused until unloadplugins.
// plugininit runs with the current directory set to the module's folder.
// The slot table itself (pluginslots[1..6]) lives in pluginhost/pluginslot.h; the
// audio thread reads it per sample, so it is only changed while audio is stopped.
//
// Floors: the portable headers here (plugincontract.h, pluginslot.h,
// pluginguard.h) use nothing of the house; the engine reads the slot table
// through them and the plug-ins build on the contract alone. This host part
// uses them and the bottom floors, never the engine or the application.
#pragma once
#include "pluginhost/pluginslot.h"

// Slots 1..6 in order, each only while its module handle is empty.
void loadplugins();

// Finds, loads, binds and initialises slot n (1..6).
void loadpluginslot(int slot);

// Loads the module at path (absolute, or relative to the current directory) into
// an empty slot (1..6) exactly as a slot folder would; returns 1 when the slot
// is bound, 0 otherwise (bad slot, slot in use, no module, missing export).
int loadpluginfile(const char *path, int slot);

// Starts a window thread running pluginmain for every bound slot without one,
// pausing 500 ms after each start.
void startpluginwindows();

// Asks each running plug-in window to close (pluginclose) and waits for its thread,
// with no time limit, one slot after the other.
void closepluginwindows();

// The "plugins" button: if any slot's window thread runs, closepluginwindows,
// otherwise startpluginwindows.
void togglepluginwindows();

// Number of slots whose window thread is running now.
int runningpluginwindows();

// Closes the windows, pauses 700 ms, frees every module (bound or not), pauses
// 300 ms. The slots are empty afterwards.
void unloadplugins();

// Tests and tools only: treat `folder` as the program's own folder (nullptr or ""
// restores the real one, the folder of the running .exe).
void setpluginprogramfolder(const char *folder);
