// quarnapp.h: the main program's own state and the parts of roomcaster_quarn.
//
//   runquarn(backend);           // start-up, window cycle, audio cycle, main loop, exit
//     buildpanel();              // the main window "win" and its sixteen controls (app/panel)
//     refreshpanel();            // every 0.24 s: status text and level bars (app/panel)
//     looptest();                // when loopteststate is looptestrequested ("testloop", key 8)
//     savepresetflow(); loadpresetflow();   // the "save" and "load" buttons (app/settings)
//
// app/quarn/ holds the program itself: main.cpp (arguments), mainloop.cpp (start-up
// to exit), startup.cpp (device lists) and this state. Its subsystems are folders of
// their own, each a portable library tested natively and a Win32 library linked
// here: app/panel (the window), app/settings (settings and presets), app/looptest.
//
// The engine's parameters and switches (quitrequest, play, loopteststate ...) are
// in `engine`; the settings of the file in `settings` (app/settings).
// Thread: everything here runs on the user-interface thread.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/devices/livedevices.h"
#include "gui_quarn/gui_quarn.h"

// Entry d + 1 holds the product name of device d; entry 0 stays empty.
constexpr int devicenameslots = 31;

struct QuarnApp {
  int restartrequest;                 // 0 none; 1 reopen the devices; 2 rebuild, then reopen
  guistrings inputdevicenames;        // capture devices, 31 entries
  guistrings outputdevicenames;       // playback devices, 31 entries
  int inputdevicecount;               // platform's count, at most 30
  int outputdevicecount;
  double statustime;                  // seconds, last status refresh
  HWND winhandle;                     // "win", fetched after each build
  HWND msghandle;                     // "win.msg"
  imagebuffer *vuimage;               // the 42 x 17 image of "win.vuout"
};
extern QuarnApp app;

// The whole program on the chosen audio back end; never returns (guiexit ends
// the process with code 0).
[[noreturn]] void runquarn(const AudioBackend *backend);

// Device lists (startup.cpp).
void listdevices();
// What a device list shows: the system default first, then devices 0, 1, ...
guistrings devicechoices(const guistrings &names, int count);
constexpr const char *defaultdevicename = "system default";
