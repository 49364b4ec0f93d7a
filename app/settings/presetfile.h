// presetfile.h: preset files (*.dspquarn), a named set of effect settings.
//
//   savepreset("Z:\\...\\save\\hall.dspquarn");   // 21 lines from memory
//   loadpreset("Z:\\...\\save\\hall.dspquarn");   // then the window is rebuilt
//
// Lines, in the encoding of the settings file: gain, buffersize, autovol, reverb,
// treverba, kreverba, treverbb, kreverbb, automod, lowmod, krevmod, decay, mono,
// noise, remove50, antilarsen, testgain, color, tdecay, kdecay, pan. Line 17
// (testgain) is written but not taken on loading: the room's ceiling belongs to
// the room, not to the preset. A missing line gives its default.
// Portable. User-interface thread only.
#pragma once
#include <string>
#include <string_view>

constexpr const char *presetextension = ".dspquarn";

void readpresettext(std::string_view text);
std::string writepresettext();

// Writing replaces the file whole (temporary file, then rename); false on failure,
// the old file untouched.
bool savepreset(const std::string &path);
// False when the file cannot be opened: nothing changes then.
bool loadpreset(const std::string &path);
