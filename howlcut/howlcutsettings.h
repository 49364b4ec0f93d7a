// howlcutsettings.h: howlcut.ini, the plug-in's settings file beside the
// module. Portable; read on the host's main thread (plugininit), written on the
// plug-in's window thread when the window closes.
//
//   std::string path = howlsettingspath(modulefilepath);    // ".../plugin2/howlcut.ini"
//   int missing = howlreadsettings(path.c_str(), params, place);  // 1: no file
//   howlwritesettings(path.c_str(), params, place);          // temp file, then rename
//
// Lines, one number each (the number-per-line format of numberlines/numberlines.h):
//   1 on (1; any other number than 0 reads as 1)
//   2 sensitivity (1 = mixed; 0 speech, 2 music; held to 0..2)
//   3 window x (430)  4 window y (10)
// A missing file or line gives the default in brackets, silently; a line that
// holds no number (letters, blank) reads as 0. Lines past the fourth are ignored.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "howlcut/howlcutdsp.h"

// Where the window opens when no file says otherwise: right of the main
// window (10, 10, 407 wide), so the two never cover each other.
constexpr int32_t howldefaultx = 430;
constexpr int32_t howldefaulty = 10;

// Screen position of the window's top-left corner, pixels: read by plugininit,
// written by the window thread when the window closes.
struct HowlPlace {
  std::atomic<int32_t> x{howldefaultx};
  std::atomic<int32_t> y{howldefaulty};
};

// The module folder: the module file's path up to, not including, its last
// separator ('\\' or '/'); empty when the path has none.
std::string howlmodulefolder(std::string_view modulefilepath);
// module folder + "/howlcut.ini"; the bare "howlcut.ini" when the folder is empty.
std::string howlsettingspath(std::string_view modulefilepath);
// The window's caption: the folder's last component + "/howlcut.dll" ("plugin2/howlcut.dll").
std::string howlwindowcaption(std::string_view modulefolder);

// Every value takes its default, then the file's line where it has one.
// Returns 1 when there is no file at path (the defaults stand), else 0.
int howlreadsettings(const char *path, HowlParams &params, HowlPlace &place);
// The same from the file's text already in memory.
void howlsettingsfromtext(std::string_view text, HowlParams &params, HowlPlace &place);

// The four lines as they are written.
std::string howlsettingstext(const HowlParams &params, const HowlPlace &place);
// Replaces the file whole (temp file, then rename); false if it could not.
bool howlwritesettings(const char *path, const HowlParams &params, const HowlPlace &place);
