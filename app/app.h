// app: the application shell of roomcaster_quarn, and the programs built on the engine.
//
//   roomcaster_quarn.exe   quarn/quarnapp.h: runquarn() — start-up, the window, the
//                          main loop, restarts, exit. The one program a user runs.
//   roomcaster_render.exe  render/render.h: a WAV file through the real engine, offline,
//                          optionally with a settings file and a preset.
//   roomcaster_live.exe    live/: the live engine in a console, with block counters.
//
// The number-per-line codec of the settings, preset and plug-in files is the
// bottom folder numberlines/, shared with the plug-ins.
//
// Folders, one per subsystem; where a subsystem has a portable half and a Windows
// half, both are in its folder as two libraries, the portable one tested natively
// (none is called from the audio thread):
//   settings/     roomcaster_quarn.ini and the *.dspquarn presets (portable), the
//                 "save" and "load" dialogs (Windows)
//   panel/        the window's list entries, positions, status text, level bars
//                 (portable), the window and its controls' actions (Windows)
//   looptest/     the loop test: arithmetic and texts (portable), its run (Windows)
//   audiocycle/   playback then capture opened, capture then playback closed (Windows)
//   quarn/        the main program: arguments, start-up, main loop, its state (Windows)
//   live/         roomcaster_live                                       (Windows)
//   render/       roomcaster_render: a WAV file through the engine, offline (portable)
//
// Floors: the top one. The application uses the engine, the plug-in host, the
// codec (numberlines/) and the toolkit (gui_quarn/); nothing below includes
// anything of app/.
//
// The application only writes the engine's parameters and switches (`engine`,
// engine/enginestate.h) and reads what it publishes; the audio path never calls
// back into the application or the toolkit.
#pragma once
