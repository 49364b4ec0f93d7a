// enginestate.h: the engine's shared state, one process-wide record `engine`.
//
// Threads:
//   - parameters and switches: written by the user-interface thread (and the
//     settings/preset code), read by the audio thread every sample;
//   - published values: written by the audio thread, read by the display loop;
//   - stage memories: audio thread only (engineinit and the device-open values
//     excepted, which the user-interface thread sets).
// Every shared value is a single lock-free 32-bit (or 64-bit) atomic, so a read
// sees the old or the new value whole. Parameters and switches are read every
// sample, so a change takes effect from the next sample. Nothing here is ever locked or allocated after program start.
//
// Glossary: a *sample* is one channel value; a *frame* is a left and a right
// sample; a *block* is `buffersize` frames, 2 x buffersize interleaved samples
// (even position = left, odd = right). Time constants are per sample (88200/s).
#pragma once
#include <atomic>
#include <cstdint>

constexpr int samplerate = 44100;          // frames per second
constexpr int historysize = 1000000;       // floats in the input history ring
constexpr int combsize = 10000;            // floats in the averaging comb ring
constexpr int combdelay = 4000;            // comb partner: 4000 samples = 2000 frames ~ 45 ms
constexpr int measuretable = 10001;        // entries of each loop-measure table
constexpr int startbuffersize = 400;       // frames per block before any settings are read

using afloat = std::atomic<float>;
using aint = std::atomic<int32_t>;

// One channel of a chain of one-pole high-pass sections (`dcblocker`: 6, `lowcut`: 2).
template <int sections>
struct HighpassChain {
  float lp[sections];  // low-pass memory of each section, 16-bit scale
  float hp[sections];  // last output of each section, 16-bit scale
};

// The scalar memories of the chain, all owned by the audio thread.
struct ChainMemories {
  int32_t historypos;                 // newest entry of inputhistory
  double tonetime;                    // test-tone clock, seconds, kept below 1000
  HighpassChain<6> dc[2];             // dcblocker, per channel (0 left, 1 right)
  int32_t combpos;                    // newest entry of comb
  float dryenv, wetenv;               // wetextract envelopes, start 100.0
  HighpassChain<2> low[2];            // lowcut, per channel
  float lastoutput;                   // previous chain output (for pan)
  // level control
  double trendgain;                   // trendguard result G
  double guardlevel;                  // L: smoothed |x|
  double guardreference;              // R: smoothed level + 25
  double guardtrend;                  // T: slower copy of 0.985 x level
  double guardspan;                   // S: smoothed min(0.05 R + 80, 100)
  float autolevel;                    // working copy of EngineState::autolevel
  float limitergain;                  // factor applied in the gain path
  float followerfast, followerslow;   // levelfollower envelopes F, W
  float followergain;                 // levelfollower factor K
  int32_t levelcounter;               // samples since the last level period
  float inputpeak;                    // working copy of EngineState::inputpeak
  float inputmeter;                   // working copy of EngineState::inputmeter
};

struct EngineState {
  // --- user parameters (UI writes, audio reads) ---
  afloat gain;          // output gain, 0..3
  afloat testgain;      // loop-test ceiling, 0.001..3
  afloat pan;           // cross-fade previous/current output sample, 0..2
  aint wet;             // 1: keep only what the plug-ins added
  aint tplug;           // 1: run the plug-in chain
  aint buffersize;      // frames per block, read when the devices open
  // stored and saved, no effect on the audio
  aint autovol, reverb;
  afloat treverba, treverbb, kreverba, kreverbb;
  afloat automod, lowmod, krevmod;
  afloat decay;         // set to 1.0 by every sample through the main chain
  afloat tdecay, kdecay;
  aint noise, antilarsen, bypass, remove50, mono;

  // --- switches (application writes, audio reads) ---
  aint quitrequest;     // 1: drop every block untouched
  aint play;            // 0: silence, 1: normal, >1: drop every block
  aint loopteststate;   // 0: normal chain, else measurement path
  aint inputmode;       // 0: silent input, 1: normal + gain path, 99: test tone
  aint outputmode;      // 0: silent output, 1: limiter uses trendgain, 99: limiter gain = gain
  std::atomic<double> starttime;  // seconds on the engine clock; set when the devices open

  // --- published values (audio writes, UI reads; inputpeak and inputmeter at
  //     the end of each block; the loop test also resets testpeak and testlevel,
  //     which the measurement path updates in place) ---
  aint freeout;         // free playback buffers of six at the last block
  afloat inputpeak;     // max |x| after the DC blocker in this level period
  afloat vupeak;        // inputpeak / 32768 at the last closed level period
  afloat inputmeter;    // smoothed |x| in the gain path
  afloat testpeak;      // max |x| of the measurement path
  afloat testlevel;     // smoothed tone magnitude measured by loopmeasure

  // --- stage memories (audio thread) ---
  // processblock works on a copy of `chain` for the length of a block and
  // stores it back at the end, so the hot memories live in registers.
  ChainMemories chain;
  // The level factor, which the user-interface thread also sets (0.01 at device
  // open and loop test start). processblock loads it at the start of a block
  // and publishes its result at the end unless the other side wrote meanwhile,
  // in which case the written value stands and takes effect from the next block.
  afloat autolevel;
  int32_t measurec1, measurec2;       // loopmeasure counters

  // big rings last
  float measurecos[measuretable];     // loopmeasure tables, filled on first use
  float measuresin[measuretable];
  float comb[combsize];               // averaging comb ring
  float inputhistory[historysize];    // every input sample, ring
};

extern EngineState engine;

// Program start: every parameter to its default, every memory to its start value.
// Not safe while audio runs.
void engineinit();

// Every user parameter to its default: what the settings file and a preset give
// for a missing line. Part of engineinit; the settings reader starts with it.
void engineparameterdefaults();

// The switches no control sets, turned off when a program builds its engine from
// the settings (the window, the renderer): noise, antilarsen, bypass and mono
// become 0, and remove50 keeps only the hum filter modes 1 and 2.
void engineswitchesoff();

// What opening the devices sets (application, after both devices are open):
// starttime = now, inputmode = outputmode = 1, vupeak = 1.0, autolevel = 0.01.
void enginedevicesopened(double now);
