// ringoutwindow.h: ringout's window, built with the module's own gui_quarn.
//
//   pluginmain()  -> ringoutwindow();      // window thread: until close box, Escape or pluginclose
//   pluginclose() -> closerequest = 1;     // any thread; seen within 100 ms, also
//                                          // when made before the run has begun
//   ringoutwindowtofront();                // startpluginmain: raise a running window
//
// One run builds the toolkit state, the window and its lists anew, loops until
// it is told to end, then writes ringout.ini and closes the window silently,
// so it can run any number of times per load; never two runs at once (a
// second caller returns at once).
#pragma once
#include <atomic>
#include <cstdint>

// Number of ringoutwindow runs in progress (0 or 1): written by the window
// thread on entry and exit, read by closepluginmain to wait for the end.
extern std::atomic<int32_t> ringoutwindowruns;

// The window thread's whole life: returns 0 once ringout.ini is written.
int ringoutwindow();

// Brings the window "win" to the foreground if one is open. Any thread.
void ringoutwindowtofront();
