// liveoptions.cpp: reads the command line of roomcaster_live.
#include "liveoptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

// A whole decimal number within lo..hi, nothing else in the text.
static bool readwhole(const char *text, long lo, long hi, int &value) {
  if (!text || !*text) return false;
  char *end = nullptr;
  errno = 0;
  long v = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  value = static_cast<int>(v);
  return true;
}

bool parseliveoptions(int argc, const char *const *argv, LiveOptions &o, std::string &error) {
  o = LiveOptions{};
  for (int i = 1; i < argc; ++i) {
    const char *a = argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
      o.help = true;
      continue;
    }
    int *target = nullptr;
    long lo = 0, hi = 0;
    if (std::strcmp(a, "--seconds") == 0) {
      target = &o.seconds, lo = 1, hi = 1000000;
    } else if (std::strcmp(a, "--wavein") == 0) {
      target = &o.wavein, lo = -1, hi = 1000;
    } else if (std::strcmp(a, "--waveout") == 0) {
      target = &o.waveout, lo = -1, hi = 1000;
    } else {
      error = std::string("unknown option '") + a + "' (try --help)";
      return false;
    }
    if (i + 1 >= argc) {
      error = std::string(a) + " needs a number";
      return false;
    }
    const char *v = argv[++i];
    if (!readwhole(v, lo, hi, *target)) {
      error = std::string(a) + " takes a whole number from " + std::to_string(lo) + " to " +
              std::to_string(hi) + ", not '" + v + "'";
      return false;
    }
  }
  return true;
}

const char *liveusage() {
  return "usage: roomcaster_live [--seconds N] [--wavein N] [--waveout N]\n"
         "Runs the live engine: records from the capture device, processes every block\n"
         "and plays it on the playback device, until Enter or Ctrl+C.\n"
         "  --seconds N   stop by itself after N seconds (1 to 1000000)\n"
         "  --wavein N    capture device number (0, 1, ...; -1 the default, the start value)\n"
         "  --waveout N   playback device number (0, 1, ...; -1 the default, the start value)\n"
         "The first 3 s after the devices open are silent, the next 3 s fade in.\n";
}
