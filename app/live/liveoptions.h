// liveoptions.h: the command line of roomcaster_live.
//
//   LiveOptions o;
//   std::string error;
//   if (!parseliveoptions(argc, argv, o, error)) { print error; exit 2; }
//
//   roomcaster_live [--seconds N] [--wavein N] [--waveout N] [--help]
// Device numbers are 0.. or -1 for the system's default; seconds is a whole
// number from 1 to 1000000, 0 meaning "until Enter or Ctrl+C".
#pragma once
#include <string>

struct LiveOptions {
  int seconds = 0;    // stop after this many seconds; 0: run until Enter or Ctrl+C
  int wavein = -1;    // capture device number, -1 the default
  int waveout = -1;   // playback device number, -1 the default
  bool help = false;  // --help: print the usage and stop
};

// False with a one-line reason in error when the command line is not understood.
bool parseliveoptions(int argc, const char *const *argv, LiveOptions &o, std::string &error);

// The usage text for --help.
const char *liveusage();
