// ringout: the ring-out and echo plug-in (dist/plugin/ringout.dll).
//
// The host loads the module and calls, by the contract of plugincontract.h:
//   plugininit();        // reads ringout.ini beside the module (1: no file)
//   pluginproc(x);       // audio thread, once per sample, L R L R ...
//   pluginmain();        // window thread: the window, until close box, Escape or pluginclose
//   pluginclose();       // ask pluginmain to return
// and ringout also offers startpluginmain, closepluginmain, mypluginproc.
//
// Files:
//   ringoutdsp.h/.cpp        the sound: ringoutstart, ringoutproc (portable)
//   ringoutsettings.h/.cpp   ringout.ini: path, reading, writing (portable)
//   ringoutlists.h/.cpp      the window's five lists: entries, values, positions (portable)
//   ringoutmodule.h/.cpp     module-wide values and the Win32 exports
//   ringoutwindow.h/.cpp     the window (gui_quarn_plugin), run by pluginmain
// Portable parts build as quarn_ringoutdsp (native tests and benches); the
// module builds as the `ringout` DLL in the Windows build only.
//
// Floors: a plug-in uses only the contract (pluginhost/plugincontract.h), the
// number-per-line codec (numberlines/) and its own instance of the toolkit
// (gui_quarn/); never the engine, the host or the application.
#pragma once
#include "ringout/ringoutdsp.h"
#include "ringout/ringoutsettings.h"
#include "ringout/ringoutlists.h"
