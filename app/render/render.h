// render/: roomcaster_render, the offline renderer: a WAV file through the real engine.
//
//   RenderOptions o; std::string error;
//   if (!parserenderoptions(argc, argv, o, error)) return 2;   // error: one line for stderr
//   int status = runrender(o);   // 0 rendered, 2 bad input (one line on stderr),
//                                // 3 rendered, but a plug-in faulted (in plugininit or
//                                // pluginproc) and was switched off
//
// Files here: renderoptions.cpp (the command line), render.cpp (the run),
// renderpipe.h (the file through the engine a block at a time), resampler.h
// (other rates to 44100 Hz and back), renderterminal.h (the progress line;
// renderconsole*.cpp, one per platform), roomcaster_render.cpp (main).
//
// The input is any WAV file engine/wavfile.h reads ("-": stdin), made 16-bit
// stereo at 44100 Hz as renderpipe.h says; the output ("-": stdout) is at the
// input's rate unless --rate is given.
//
// Offline rules: the engine starts as program start-up and opening the devices
// leave it (defaults; starttime 0, inputmode and outputmode 1, vupeak 1.0,
// autolevel 0.01). A settings file, then a preset, are read by the program's own
// readers and applied as the window applies them (noise, antilarsen, bypass and
// mono off, remove50 other than 1 or 2 made 0); their block size holds unless
// --buffersize is given. Then the --set values apply. The clock is the stream clock
// (frame f at f / 44100 s), so the first 3 s are silent and the next 3 s fade in.
// Every block finds all six playback buffers free. The output has exactly the
// input's frames (at another --rate: as many as that rate gives for the same time).
#pragma once
#include <string>
#include <utility>
#include <vector>

struct RenderOptions {
  int buffersize = 400;                                 // frames per block, 150..16000
  bool buffersizegiven = false;                         // --buffersize beats the files' block size
  std::string settingsfile;                             // --settings FILE: a roomcaster_quarn.ini
  std::string presetfile;                               // --preset FILE: a .dspquarn preset
  std::vector<std::pair<std::string, double>> sets;     // --set NAME=VALUE, in order
  std::vector<std::string> plugins;                     // --plugin PATH, slots 1..6 in order
  int rate = 0;                                         // --rate N: the output's rate (0: the input's)
  bool pluginfolders = false;                           // --plugins: the folders beside the program
  std::string input, output;                            // "-": stdin, stdout
  bool help = false;
  bool version = false;
  bool quiet = false;                                   // --quiet: no progress line
  bool progress = false;                                // progress line on stderr
};

extern const char *renderusage;
extern const char *renderversion;  // "roomcaster_render 1.2.3\n"

bool parserenderoptions(int argc, char **argv, RenderOptions &options, std::string &error);

// Applies one --set value to the engine (after the start-up state is made).
void applyenginevalue(const std::string &name, double value);

int runrender(const RenderOptions &options);
