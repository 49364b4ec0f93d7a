// liveoptions.h: the command line of roomcaster_live.
//
//   LiveOptions o;
//   std::string error;
//   if (!parseliveoptions(argc, argv, o, error)) return 2;   // after printing error
//
//   roomcaster_live [--seconds N] [--buffersize N] [--wavein DEVICE] [--waveout DEVICE]
//                   [--audio waveform|wasapi] [--quiet] [--list] [--help] [--version]
// A DEVICE is a number (0.., or -1 for the system's default) or a device's name as
// --list shows it. Numbers can change from one start to the next when devices come
// and go; names do not. seconds is a whole number from 1 to 1000000.
#pragma once
#include <string>

struct LiveOptions {
  int buffersize = 0;       // frames per block, 150..16000; 0: the engine's start value
  int seconds = 0;          // stop after this many seconds; 0: run until Enter or Ctrl+C
  int wavein = -1;          // capture device number, -1 the default
  int waveout = -1;         // playback device number, -1 the default
  std::string waveinname;   // capture device by name; empty: use the number
  std::string waveoutname;  // playback device by name; empty: use the number
  std::string audio = "waveform";  // the audio back end: "waveform" or "wasapi"
  bool quiet = false;       // --quiet: no start line and no status lines, only the summary
  bool list = false;        // --list: print the devices and stop
  bool help = false;        // --help: print the usage and stop
  bool version = false;     // --version: print liveversion() and stop
};

// False with a one-line reason in error when the command line is not understood.
bool parseliveoptions(int argc, const char *const *argv, LiveOptions &o, std::string &error);

// The exit codes of roomcaster_live (listed by --help).
constexpr int liveexitok = 0;
constexpr int liveexitarguments = 2;  // a bad command line, or no device of a given name
constexpr int liveexitnosound = 3;    // a device could not be opened, or no block was processed

// The usage text for --help.
const char *liveusage();
// "roomcaster_live 1.2.3\n", for --version.
const char *liveversion();
