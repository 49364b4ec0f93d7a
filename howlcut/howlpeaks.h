// howlpeaks.h: finds the peaks of the newest spectrum and scores them as
// howl or not. Audio thread only.
//
//   howlpeakscan(state, first, count);   // bins first.. of 80 Hz..16 kHz: runs, candidates
//   HowlFinding f = howlscore(state, tuning, i);   // candidate i (if set), after the scan
//
// Arithmetic: float on the dB spectrum; the refined frequency is double.
#pragma once
#include "howlcut/howlcutstate.h"

struct HowlFinding {
  bool howl;          // the candidate is a howl
  double frequency;   // Hz, refined (quadratic interpolation of the dB levels)
  float score;        // 0.7 slopeness + 0.3 peakness
};

// Mean of the level at k (see howllevel) over its neighbours 2..7 bins away.
float howlpeakness(const HowlState& state, int row, int k);
// dB by which the level at k now stands over the highest it had been
// before the slope window, that maximum falling slowly (see howltuning.h).
float howlemergence(const HowlState& state, int k);
// True when the peak at k has partials: a place where another partial of a
// note it belongs to would be is within `gap` dB of it and rose with it over
// the slope window (by about as much, and steadily).
bool howlharmonic(const HowlState& state, int k, float gap);
// dB by which the bin at k (see howllevel) climbed over the last whole
// segments, when it climbed in every one of them and stands high enough;
// 0 otherwise.
float howlclimb(const HowlState& state, int k);
// True when any place of a partial (but the third harmonic, which a clipped
// howl has itself) is within `gap` dB of the peak at k, rising or not.
bool howlpartials(const HowlState& state, int k, float gap);
// True when a place of a partial within `gap` dB of the peak at k holds a
// run climbing at least half as steeply: a note (or chord) swelling slowly.
bool howlswell(const HowlState& state, int k, double slope, float gap);
// Bin position of the local maximum at k, refined to a fraction of a bin.
double howlrefine(const HowlState& state, int row, int k);

void howlpeakscan(HowlState& state, int first, int count);
// Slope (dB per analysis) and rms scatter (dB) of a run's fitted line.
void howlslope(const HowlRun& run, double& slope, double& scatter);
// Where a run has sat lately (bins, its positions weighted as its levels
// are) and how fast it moves there (bins per analysis).
void howlplace(const HowlRun& run, double& sat, double& moving);
HowlFinding howlscore(const HowlState& state, const HowlSensitivityTuning& tuning, int i);
