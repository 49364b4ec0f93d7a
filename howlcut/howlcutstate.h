// howlcutstate.h: the whole state of one howlcut instance, fixed arrays sized
// at compile time (about 0.5 MB). Audio thread only after howlstart; tests
// read it directly.
#pragma once
#include <cstdint>

#include "howlcut/howlcutdsp.h"
#include "howlcut/howltuning.h"

// One notch of the bank, shared by both channels. Frequencies and
// coefficients are double; the depth ramps once per frame.
struct HowlNotch {
  int32_t active;         // 1: in use (filtering, maybe still fading in or out)
  double frequency;       // Hz, centre
  double b0;              // bandpass numerator (b1 = 0, b2 = -b0), normalised by a0
  double a1, a2;          // bandpass denominator, normalised by a0
  double depth;           // dB the notch heads for (0: releasing to free)
  double cut;             // c now, 0..1: the notch is 1 - c * bandpass
  double cuttarget;       // c = 1 - 10^(-depth/20), where the ramp heads
  double nextfrequency;   // > 0: the slot is handed over to this howl once cut reaches 0
  int64_t placedframe;    // frame count when placed (for its age and for reuse)
  int64_t changed;        // analysis number of the last placing, deepening or retuning
  int64_t heard;          // analysis number when its howl was last detected
  int32_t hits;           // detections: 1 when placed, +1 each time the howl came back
  int32_t spent;          // 1: a whole release step at 0 dB without its howl; the slot is free
};

// Filter memories of one notch in one channel (bandpass direct form I), double.
struct HowlMemory {
  double x1, x2;  // last two inputs of this notch
  double v1, v2;  // last two bandpass outputs
};

// The analysis in progress: which phase, and how far in it (see howltransform.h).
struct HowlWork {
  int32_t phase;   // HowlPhase
  int32_t step;    // items done in this phase
  int64_t end;     // frame count at the window's end (the frame after its last)
};

// Weighted straight-line fit of a lone peak's level (dB) against time over
// its run (the newest analysis at t = 0, the one before at -1 ...), double.
struct HowlRun {
  int32_t length;          // analyses the peak has stood here; 0: no peak
  float origin;            // bin position (refined) where the run began
  float centre;            // the mean of its first analyses' positions
  double s0, st, stt;      // sum w, sum w t, sum w t^2
  double sp, stp;          // sum w p, sum w t p: p its refined position (bins)
  double sy, sty, syy;     // sum w y, sum w t y, sum w y^2
};

// A peak chosen for scoring in this analysis.
struct HowlCandidate {
  int32_t bin;     // bin of the local maximum
  float key;       // what it was chosen by: dB of rise, or of growth over its run
};

struct HowlState {
  int32_t channel;                    // 0: the next call is a left sample, 1: right
  int64_t frames;                     // frames (L, R pairs) since howlstart
  float ring[2][howlringsize];        // input of each channel, sanitised; frame n at n % howlringsize

  // Tables, made by howlstart.
  double window[howlfftsize];         // Blackman
  double twiddle[howlfftsize / 2][2]; // cos, -sin of 2 pi j / N
  int16_t reverse[howlfftsize];       // bit-reversed index
  double reference;                   // power of a full-scale sine's bin (0 dB)
  int16_t displaylow[howldisplaybins];   // bin range each display point shows
  int16_t displayhigh[howldisplaybins];

  // The spread analysis: both channels in one complex transform (L real, R imaginary).
  HowlWork work;
  double re[howlfftsize];             // transform, in place
  double im[howlfftsize];
  float history[howlhistory][howlbins];  // dB, the louder channel per bin; [newest] is the last
  int32_t newest;                     // index into history of the last analysis
  int64_t analyses;                   // finished analyses since howlstart or reset
  HowlRun run[2][howlbins];           // each bin's run, this analysis's and the last (they swap)
  int32_t runnow;                     // which of run[] is this analysis's
  float held[howlbins];               // dB: each bin's falling maximum, up to the slope window's start
  float present[howlbins];            // each bin's share of the last analyses (about 5 s) with a lone peak there
  float segmentsum[howlbins];         // dB summed over this segment's analyses so far
  float segment[howlsegments][howlbins];  // dB: each bin's mean level over the last whole segments
  HowlCandidate candidate[howlcandidates];  // [0, 1]: the fastest risers; [2]: the steepest run; [3]: the loudest lone peak; [4]: the steepest climber
  int32_t risers;                     // how many of candidate[0..1] are set
  int32_t runner;                     // 1: candidate[2] is set
  int32_t loudest;                    // 1: candidate[3] is set
  int32_t climber;                    // 1: candidate[4] is set

  HowlNotch notch[howlnotchcount];
  HowlMemory memory[2][howlnotchcount];
  int32_t placed;                     // notches placed since howlstart
};
