// settingsfile.h: roomcaster_quarn.ini, the program's settings between runs.
//
//   readsettings();            // start-up, before the window: defaults, then the file
//   ...                        // the program runs; controls change engine.* and settings.*
//   writesettings();           // normal exit, after winx and winy are taken from the window
//
// The file is one number per line, a value's meaning being its line (the codec of
// numberlines/): winx, winy, wavein, waveout, then the effect parameters of the
// engine, testgain, color, tdecay, kdecay, the stored noise list with its count,
// the noise threshold, tplug, bypass, pan and wet. A missing line keeps its
// default, so a missing or empty file starts the program with every default.
// Nothing is ever shown to the user about this file.
//
// The text forms are separate, so tests and the fuzzer feed them from memory.
// Portable. User-interface thread only (it writes the engine's parameters whole).
//
// app/settings/ (this is its chief header) holds the program's files, in two halves:
//   settingsfile.h, presetfile.h   the settings file and the preset files. Portable,
//                                  library quarn_settings, tested natively
//                                  (tests/app/settings) and fuzzed.
//   presetflows.h                  the "save" and "load" buttons: file dialog, then
//                                  savepreset or loadpreset. Win32, library
//                                  quarn_presetflows, linked by roomcaster_quarn and
//                                  tested through the running program under Wine
//                                  (tests/app/quarn/quarnpresets_test.cpp).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

constexpr const char *settingsfilename = "roomcaster_quarn.ini";
constexpr int noisesamplecount = 400;  // stored noise values, positions 1..400

// The application's own settings; the effect parameters live in `engine`.
struct AppSettings {
  int32_t winx, winy;          // left and top edge of the main window, screen pixels
  int32_t wavein, waveout;     // device numbers, -1 = the system default
  int32_t color;               // colour scheme of the main window, 0..3
  int32_t noisecount;          // stored noise values written back (may exceed 400)
  float noisesample[noisesamplecount + 1];  // positions 1..400, kept unchanged
  float noisethreshold;        // kept unchanged
};
extern AppSettings settings;

// Every value of the file to its default (engine parameters included).
void settingsdefaults();

// Defaults, then every line present in text, ranged as the file is read.
void readsettingstext(std::string_view text);
// The whole file as written at exit: lines end in CR LF.
std::string writesettingstext();

// The twenty lines a settings file (lines 5 to 24) and a preset (lines 1 to 20)
// share: gain, buffersize ... antilarsen, testgain, color, tdecay, kdecay.
void writeeffectlines(std::string &out);

// From and to settingsfilename in the current directory. Writing replaces the
// file whole through a temporary file, so a failure keeps the old one; false then.
void readsettings();
bool writesettings();
