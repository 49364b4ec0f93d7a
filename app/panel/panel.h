// app/panel/: the main window of roomcaster_quarn, in two halves.
//
//   buildpanel();      // the window "win" and its sixteen controls, from the values in memory
//   ...                // the controls call the actions of panelactions.h (inside guiscan)
//   refreshpanel();    // every 0.24 s from the main loop: status text and level bars
//
//   panelvalues.h      the numbers and texts: list entries, positions, the status
//                      text, the level bars. Portable, library quarn_panel,
//                      tested natively (tests/app/panel).
//   panel.h            (this header) building and refreshing the window, and
//   panelactions.h     what each control does. Win32, library quarn_panelwindow,
//                      linked by roomcaster_quarn and tested through the running
//                      program under Wine (tests/app/quarn).
//
// The window's handles and the device lists are the program's own state (`app`,
// app/quarn/quarnapp.h); the settings of the file are `settings` (app/settings).
// Thread: the user-interface thread.
#pragma once

void buildpanel();    // panel.cpp; at start-up and after every rebuild (colour, preset)
void refreshpanel();  // paneldisplay.cpp
