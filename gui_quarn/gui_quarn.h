// gui_quarn: a small toolkit of windows and controls addressed by name.
//
//   guiinit();                                   // once, before declaring
//   addedit("win.msg", "", onenter, 10, 10, 300, 24, 0);   // declare controls
//   trapclose("win", onclose);
//   openwindow("win", "caption", 100, 100, 640, 480, WS_OVERLAPPEDWINDOW, 0);
//   guiscan();                                   // in the program's loop; callbacks read guievent
//   settext("win.msg", "...");
//   guiexit("nomsg");
//
// Each module (program, plug-in) links its own instance: gui_quarn_main or
// gui_quarn_plugin (QUARN_GUI_PLUGIN=1). User-interface thread only.
#pragma once
#include "gui_quarn/guitables.h"   // the tables, guievent, ngui
#include "gui_quarn/guicore.h"     // start-up, windows, names, message boxes
#include "gui_quarn/guievents.h"   // traps, usersubs, the message pump
#include "gui_quarn/guicontrols.h" // control kinds and by-name operations
#include "gui_quarn/guifiles.h"    // file dialog
#include "gui_quarn/guiimage.h"    // images and image buffers
#include "gui_quarn/guimenus.h"    // menu bars, drop-downs and items
#include "gui_quarn/guiopengl.h"   // OpenGL in a graphic box
