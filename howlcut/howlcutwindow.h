// howlcutwindow.h: howlcut's window, built with the module's own gui_quarn.
//
//   pluginmain()  -> howlwindow();       // window thread: until close box, Escape or pluginclose
//   pluginclose() -> howlcloserequest = 1;   // any thread; seen within 100 ms, also
//                                            // when made before the run has begun
//
// One run builds the toolkit state and the window anew, shows what the sound
// does ten times a second until it is told to end, then writes howlcut.ini and
// closes the window silently; it can run any number of times per load, never
// two at once (a second caller returns at once).
#pragma once

// The window thread's whole life: returns 0 once howlcut.ini is written.
int howlwindow();
