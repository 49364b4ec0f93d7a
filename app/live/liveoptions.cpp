// liveoptions.cpp: reads the command line of roomcaster_live.
#include "app/live/liveoptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

// Text that reads as a number: an optional minus and digits only.
static bool numeric(const char *text) {
  if (*text == '-') ++text;
  if (!*text) return false;
  for (; *text; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

// A whole decimal number within lo..hi, nothing else in the text.
static bool readwhole(const char *text, long lo, long hi, int &value) {
  if (!numeric(text)) return false;
  errno = 0;
  long v = std::strtol(text, nullptr, 10);
  if (errno != 0 || v < lo || v > hi) return false;
  value = static_cast<int>(v);
  return true;
}

static std::string range(long lo, long hi) {
  return "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
}

bool parseliveoptions(int argc, const char *const *argv, LiveOptions &o, std::string &error) {
  o = LiveOptions{};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
      continue;
    }
    if (a == "--list") {
      o.list = true;
      continue;
    }
    if (a == "--version") {
      o.version = true;
      continue;
    }
    if (a == "--quiet") {
      o.quiet = true;
      continue;
    }
    if (a != "--seconds" && a != "--buffersize" && a != "--wavein" && a != "--waveout" && a != "--audio") {
      error = "unknown option '" + a + "' (try --help)";
      return false;
    }
    if (i + 1 >= argc || !*argv[i + 1]) {
      error = a + (a == "--seconds"      ? " needs a number of seconds"
                   : a == "--buffersize" ? " needs a number of frames"
                   : a == "--audio"      ? " needs waveform or wasapi"
                                         : " needs a device number or name");
      return false;
    }
    const char *v = argv[++i];
    if (a == "--seconds") {
      if (!readwhole(v, 1, 1000000, o.seconds)) {
        error = "--seconds takes " + range(1, 1000000) + ", not '" + v + "'";
        return false;
      }
      continue;
    }
    if (a == "--buffersize") {
      if (!readwhole(v, 150, 16000, o.buffersize)) {
        error = "--buffersize takes " + range(150, 16000) + " frames, not '" + v + "'";
        return false;
      }
      continue;
    }
    if (a == "--audio") {
      o.audio = v;
      if (o.audio != "waveform" && o.audio != "wasapi") {
        error = "--audio takes waveform or wasapi, not '" + o.audio + "'";
        return false;
      }
      continue;
    }
    int &number = a == "--wavein" ? o.wavein : o.waveout;
    std::string &name = a == "--wavein" ? o.waveinname : o.waveoutname;
    name.clear();
    if (!numeric(v)) {
      name = v;
    } else if (!readwhole(v, -1, 1000, number)) {
      error = a + " takes a device name or " + range(-1, 1000) + ", not '" + v + "'";
      return false;
    }
  }
  return true;
}

const char *liveusage() {
  return "usage: roomcaster_live [--seconds N] [--buffersize N] [--wavein DEVICE] [--waveout DEVICE]\n"
         "                       [--audio waveform|wasapi] [--quiet] [--list]\n"
         "Runs the live engine: records from the capture device, processes every block\n"
         "and plays it on the playback device, until Enter or Ctrl+C. The line r (r, Enter)\n"
         "closes and reopens both devices. Plug-ins come from the folders plugin, plugin2 ...\n"
         "plugin6 beside the program.\n"
         "  --seconds N        stop by itself after N seconds (1 to 1000000)\n"
         "  --buffersize N     frames per block, 150 to 16000 (the start value is 400)\n"
         "  --wavein DEVICE    capture device: a number (-1 the default, the start value) or a name\n"
         "  --waveout DEVICE   playback device: a number (-1 the default, the start value) or a name\n"
         "  --audio BACKEND    waveform (the start value): the waveform API, six buffers a device;\n"
         "                     wasapi: the audio-client interface in shared mode, event-driven\n"
         "  --quiet            no start line and no status lines: only the summary at the end\n"
         "                     (warnings and errors go to stderr in any case)\n"
         "  --list             print the capture and playback devices and stop\n"
         "  --version          print the version and stop\n"
         "Device numbers can change between starts; names as --list prints them do not.\n"
         "The first 3 s after the devices open are silent, the next 3 s fade in.\n"
         "Exit status: 0 the sound ran; 2 a bad command line or no device of the given name;\n"
         "3 a device could not be opened, or no block was processed.\n";
}

const char *liveversion() { return "roomcaster_live " QUARN_VERSION "\n"; }
