// howlcut: the howling suppressor plug-in (dist/plugin2/howlcut.dll).
//
// The host loads the module and calls, by the contract of plugincontract.h:
//   plugininit();        // reads howlcut.ini beside the module (1: no file, defaults)
//   pluginproc(x);       // audio thread, once per sample, L R L R ...: howlproc
//   pluginmain();        // window thread: the window, until close box, Escape or pluginclose
//   pluginclose();       // ask pluginmain to return
//
// Files:
//   howlcutdsp.h/.cpp         the sound: howlstart, howlproc (portable)
//   howlcutstate.h            the sound's whole state, fixed arrays
//   howlcutsettings.h/.cpp    howlcut.ini: path, reading, writing (portable)
//   howlcutview.h/.cpp        the window's plot, notch rows, sensitivity list (portable)
//   howlcutmodule.h/.cpp      module-wide values and the Win32 exports
//   howlcutwindow.h/.cpp      the window (gui_quarn_plugin), run by pluginmain
// Portable parts build as quarn_howlcutdsp (native tests and benches); the
// module builds as the `howlcut` DLL in the Windows build only.
#pragma once
#include "howlcut/howlcutdsp.h"
#include "howlcut/howlcutsettings.h"
#include "howlcut/howlcutview.h"
