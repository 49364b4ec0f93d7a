// ringoutsettings.h: ringout.ini, the plug-in's eight-line settings file
// beside the module. Portable; runs on the host's main thread (plugininit) or
// on the plug-in's window thread (writing when the window closes).
//
//   std::string path = ringoutsettingspath(modulefilepath);  // ".../plugin2/ringout.ini"
//   int missing = ringoutreadsettings(path.c_str(), params, place);  // 1: no file
//   ringoutwritesettings(path.c_str(), params, place);
//
// Lines, one number each (the number-per-line format of numberlines/numberlines.h):
//   1 gain (1.0)  2 window x (200)  3 window y (100)  4 tdecayon (1)
//   5 decay (1.0, clamped to 1..4)  6 tdecay (100)  7 kdecay (0.77, clamped to
//   -0.99..0.99: at a magnitude of 1 or more the ring line would grow without
//   bound)  8 rate (1.0)
// A line that is missing takes the default in brackets; a line that is present
// but holds no number (letters, blank) reads as 0. Lines past the eighth are
// ignored.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "ringout/ringoutdsp.h"

// Screen position of the plug-in window's top-left corner, pixels: read from
// the file by plugininit, written by the window thread when the window closes.
struct RingoutPlace {
  std::atomic<int32_t> x{0};
  std::atomic<int32_t> y{0};
};

// The module folder: the module file's path up to, not including, its last
// separator ('\\' or '/'); empty when the path has no separator.
std::string ringoutmodulefolder(std::string_view modulefilepath);
// module folder + "/ringout.ini"; the bare "ringout.ini" when the folder is empty.
std::string ringoutsettingspath(std::string_view modulefilepath);
// The window's caption: the module folder's last component + "/ringout.dll"
// ("plugin3/ringout.dll" for a module in ...\plugin3).
std::string ringoutwindowcaption(std::string_view modulefolder);

// plugininit's reading: `gain` becomes 1.0; with no file at path, returns 1 and
// everything else keeps its value. Otherwise each of the eight values takes
// its default, then the line's value if the file still has a line; returns 0.
int ringoutreadsettings(const char *path, RingoutParams &params, RingoutPlace &place);
// The same from text already in memory (the file's contents).
void ringoutsettingsfromtext(std::string_view text, RingoutParams &params, RingoutPlace &place);

// The eight lines, as they are written when the window closes.
std::string ringoutsettingstext(const RingoutParams &params, const RingoutPlace &place);
// Replaces the file whole (temp file, then rename); false if it could not.
bool ringoutwritesettings(const char *path, const RingoutParams &params, const RingoutPlace &place);
