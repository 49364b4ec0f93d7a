// ringoutsettings.cpp: reading and writing ringout.ini.
// Thread: plugininit (host's main thread) reads; the window thread writes.
#include "ringout/ringoutsettings.h"

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

std::string ringoutmodulefolder(std::string_view modulefilepath) {
  const size_t separator = modulefilepath.find_last_of("\\/");
  if (separator == std::string_view::npos) return std::string();
  return std::string(modulefilepath.substr(0, separator));
}

std::string ringoutsettingspath(std::string_view modulefilepath) {
  const std::string folder = ringoutmodulefolder(modulefilepath);
  // A path without a folder would otherwise name the drive's root.
  if (folder.empty()) return "ringout.ini";
  return folder + "/ringout.ini";
}

std::string ringoutwindowcaption(std::string_view modulefolder) {
  const size_t separator = modulefolder.find_last_of("\\/");
  const std::string_view last = separator == std::string_view::npos ? modulefolder : modulefolder.substr(separator + 1);
  return std::string(last) + "/ringout.dll";
}

void ringoutsettingsfromtext(std::string_view text, RingoutParams &params, RingoutPlace &place) {
  NumberLines lines = numberlinesof(text);
  params.gain.store(readrealline(lines, 1.0f), relaxed);
  place.x.store(readintline(lines, 200), relaxed);
  place.y.store(readintline(lines, 100), relaxed);
  params.tdecayon.store(readintline(lines, 1), relaxed);
  params.decay.store(std::max(1.0f, std::min(4.0f, readrealline(lines, 1.0f))), relaxed);
  params.tdecay.store(readrealline(lines, 100.0f), relaxed);
  // From a feedback of 1 either way on, the ring line never dies away: it
  // grows until it overflows and the plug-in puts out nothing but NaN. The
  // window offers 0.5 to 0.99, so only a hand-edited file meets these limits;
  // every value the window writes reads back unchanged.
  params.kdecay.store(std::max(-0.99f, std::min(0.99f, readrealline(lines, 0.77f))), relaxed);
  params.rate.store(readrealline(lines, 1.0f), relaxed);
}

int ringoutreadsettings(const char *path, RingoutParams &params, RingoutPlace &place) {
  params.gain.store(1.0f, relaxed);
  if (path == nullptr || !fileexists(path)) return 1;
  // A file that exists but cannot be read gives every default, as an empty one.
  std::string text;
  loadnumberfile(path, text);
  ringoutsettingsfromtext(text, params, place);
  return 0;
}

std::string ringoutsettingstext(const RingoutParams &params, const RingoutPlace &place) {
  std::string out;
  writerealline(out, params.gain.load(relaxed));
  writeintline(out, place.x.load(relaxed));
  writeintline(out, place.y.load(relaxed));
  writeintline(out, params.tdecayon.load(relaxed));
  writerealline(out, params.decay.load(relaxed));
  writerealline(out, params.tdecay.load(relaxed));
  writerealline(out, params.kdecay.load(relaxed));
  writerealline(out, params.rate.load(relaxed));
  return out;
}

bool ringoutwritesettings(const char *path, const RingoutParams &params, const RingoutPlace &place) {
  return savenumberfile(path, ringoutsettingstext(params, place));
}
