// howlcutsettings.cpp: reading and writing howlcut.ini.
// Thread: plugininit (host's main thread) reads; the window thread writes.
#include "howlcut/howlcutsettings.h"

#include <sys/stat.h>

#include <algorithm>

#include "numberlines/numberlines.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

bool fileexists(const char *path) {
  struct stat info;
  return stat(path, &info) == 0;
}

}  // namespace

std::string howlmodulefolder(std::string_view modulefilepath) {
  const size_t separator = modulefilepath.find_last_of("\\/");
  if (separator == std::string_view::npos) return std::string();
  return std::string(modulefilepath.substr(0, separator));
}

std::string howlsettingspath(std::string_view modulefilepath) {
  const std::string folder = howlmodulefolder(modulefilepath);
  // An empty folder would otherwise name the drive's root.
  if (folder.empty()) return "howlcut.ini";
  return folder + "/howlcut.ini";
}

std::string howlwindowcaption(std::string_view modulefolder) {
  const size_t separator = modulefolder.find_last_of("\\/");
  const std::string_view last = separator == std::string_view::npos ? modulefolder : modulefolder.substr(separator + 1);
  return std::string(last) + "/howlcut.dll";
}

void howlsettingsfromtext(std::string_view text, HowlParams &params, HowlPlace &place) {
  NumberLines lines = numberlinesof(text);
  params.on.store(readintline(lines, 1) != 0 ? 1 : 0, relaxed);
  params.sensitivity.store(std::clamp(readintline(lines, howlmixed), int32_t{howlspeech}, int32_t{howlmusic}), relaxed);
  place.x.store(readintline(lines, howldefaultx), relaxed);
  place.y.store(readintline(lines, howldefaulty), relaxed);
}

int howlreadsettings(const char *path, HowlParams &params, HowlPlace &place) {
  const bool missing = path == nullptr || !fileexists(path);
  // A file that exists but cannot be read gives every default, as an empty one.
  std::string text;
  if (!missing) loadnumberfile(path, text);
  howlsettingsfromtext(text, params, place);
  return missing ? 1 : 0;
}

std::string howlsettingstext(const HowlParams &params, const HowlPlace &place) {
  std::string out;
  writeintline(out, params.on.load(relaxed));
  writeintline(out, params.sensitivity.load(relaxed));
  writeintline(out, place.x.load(relaxed));
  writeintline(out, place.y.load(relaxed));
  return out;
}

bool howlwritesettings(const char *path, const HowlParams &params, const HowlPlace &place) {
  return savenumberfile(path, howlsettingstext(params, place));
}
