// ringoutdsp.h: the sound of ringout, portable (no <windows.h>).
//
//   static RingoutLines lines;            // ~51 MB, zero, sized at load
//   static RingoutState state;            // small state
//   RingoutParams params;                 // the six parameters, defaults set
//   ringoutstart(state, lines);           // once, when the module loads
//   y = ringoutproc(state, params, x);    // audio thread, once per sample (L, R, L, R ...)
//
// ringoutproc adds to the dry sample a processed copy that circulates in a
// 17,600-sample echo loop; on each pass the copy runs through a five-stage
// high-pass cascade, the ring-out stage (a long line with two feedback taps,
// mixed in while a sound dies away) and a limiter. Arithmetic is double; the
// working sample, the echo line and the high-pass states are stored as float.
// It never allocates, locks or calls the system.
#pragma once
#include <atomic>
#include <cstdint>

constexpr int echolength = 17600;     // samples in the echo line (8,800 frames, ~0.2 s)
constexpr int ringlength = 1600000;   // frames in each ring line and envelope history
constexpr int ringoffset = 19300;     // frames from a ring value to its feedback moment (~0.44 s)
constexpr int highpassstages = 5;

// The parameters: written whole by the window thread (and plugininit), read by
// the audio thread once per call; a change acts from the next sample.
struct RingoutParams {
  std::atomic<float> gain{1.0f};       // level of the processed copy, percent (0..99)
  std::atomic<float> rate{1.0f};       // echo feedback and output share, 0..1
  std::atomic<int32_t> tdecayon{1};    // 1: processing on; else the input passes unchanged
  std::atomic<float> decay{1.0f};      // envelope look-back of the ring-out stage, 1..4; 1 = no boost
  std::atomic<float> tdecay{100.0f};   // feedback tap spacing, units of 150 and 210 frames
  std::atomic<float> kdecay{0.77f};    // ring line feedback strength, 0.5..0.99
};

// The two long lines of one channel set; positions 1..ringlength (index 0 unused).
struct RingoutLine {
  double ring[ringlength + 1];      // ring line: the recursive ring-out signal, 16-bit scale
  double envelope[ringlength + 1];  // smoothed envelope P as it was at each frame
};

// Both sets' lines: static (zero, in .bss) in the module, on the heap in tests.
struct RingoutLines {
  RingoutLine set[2];
};

// The state of one channel set. Set 1 ([0]) serves the odd-numbered calls
// (left samples), set 2 ([1]) the even-numbered calls (right samples).
struct RingoutChannel {
  float lp[highpassstages];  // high-pass cascade: low-pass memory of each stage
  float hp[highpassstages];  // high-pass cascade: last output of each stage
  int32_t n;                 // frame counter, 1..ringlength (0 before the first frame)
  double Q;                  // half-smoothed sample
  double J;                  // quiet level (slow mean of |Q|)
  double K;                  // envelope
  double P;                  // smoothed envelope
  double R;                  // decaying peak of P
  double G;                  // boost target
  double M;                  // boost: > 1 mixes the ring line in
  int32_t hold;              // frames since the last peak, at most ringlength - 2
  double T1;                 // transient weight (starts at 1)
  double T2;                 // smoothed transient weight (starts at 1)
  double Th;                 // quiet threshold for J (starts at 1000)
  RingoutLine *line;         // this set's ring line and envelope history
};

// Everything ringoutproc keeps between calls. Audio thread only.
struct RingoutState {
  float echo[echolength];   // echo line, 16-bit scale; echo[pos] is the oldest value
  int32_t pos;              // write position, 0..echolength-1
  int32_t toggle;           // 1: this call is a left sample (set 1), 0: right (set 2)
  double L;                 // limiter gain
  double B;                 // level of the cascade output
  double A;                 // slow level
  double C;                 // reference level
  double S;                 // span (starts at 100)
  double E;                 // balance: < 1 while the level rises, > 1 while it falls
  double D;                 // drive of the ring line input, min(2E, 3)
  double F;                 // floor, 0.001 C within 0.05..3
  RingoutChannel set[2];
};

// Zeroes the state and the lines and sets the start values (S = 100,
// T1 = T2 = 1, Th = 1000). Not on the audio thread: writing all ~51 MB here
// commits the pages at load, so the audio thread never takes a page fault on them.
void ringoutstart(RingoutState &state, RingoutLines &lines);

// Audio thread. One sample in, one out. A working sample that is not a finite
// float (a NaN or infinite input, or one too large for the float scale) is
// taken as 0, so no single sample can poison the loop for the rest of the
// run; the dry part of the result is still x itself.
float ringoutproc(RingoutState &state, RingoutParams &params, float x);
