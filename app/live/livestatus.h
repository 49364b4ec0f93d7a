// livestatus.h: roomcaster_live's status line and its summary at exit.
//
//   LiveStatus s{};                            // filled from the engine's counters
//   std::puts(livestatusline(s).c_str());      // about once a second
//   std::puts(livesummary(s, seconds).c_str()); // once, after the devices close
//
// in  -12.0 dB  out  -18.1 dB  processed 3307  dropped 0  underruns 0  starved 0  empty 0  bunched 0
//   gaps 0  lost 0  block 400   (one line; README "Reading the counters")
// Levels are the peak of the latest block in dB below 16-bit full scale (32768);
// a silent block reads "-inf". Pure functions, any thread.
#pragma once
#include <cstdint>
#include <string>

struct LiveStatus {
  int inputpeak;       // largest |sample| of the latest captured block, 0..32768
  int outputpeak;      // largest |sample| of the latest played blocks, 0..32768
  uint32_t captured;   // the counters of engine/livecounters.h
  uint32_t processed;
  uint32_t dropped;
  uint32_t underruns;
  uint32_t bunched;
  int buffersize;      // frames per block
  uint32_t starvedframes;    // livecounters.h, as above
  uint32_t queueempty;
  uint32_t discontinuities;
  uint32_t lostframes;
};

// The largest |sample| of count samples; 32768 for -32768. Reads each sample
// whole even while the audio thread writes the block.
int blockpeak(const int16_t *samples, int count);

// " -12.0 dB", "  -inf dB": six characters of number, so the line does not jitter.
std::string leveltext(int peak);

std::string livestatusline(const LiveStatus &s);

// "roomcaster_live: 600.0 s of 400-frame blocks: 66150 captured, 66150 processed,
//  0 dropped, 0 underruns (0 frames starved), 0 queue empty, 0 bunched,
//  0 capture gaps (0 frames lost)"
std::string livesummary(const LiveStatus &s, double seconds);
