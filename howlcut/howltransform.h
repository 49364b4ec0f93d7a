// howltransform.h: the short-time spectrum of both channels, one 4096-point
// complex transform (left real, right imaginary) whose work is cut into small
// steps, so that no single howlproc call carries more than a few dozen
// butterflies. Audio thread only (howltransformtables: howlstart).
//
//   howltransformtables(state);              // once: window, twiddles, bit reversal
//   howlwindowstep(state, first, count);    // windowed input into the transform, bit-reversed
//   howlfftstep(state, first, count);       // butterflies first .. first+count-1 of 12 x 2048
//   howlsplitstep(state, first, count);     // bins to dB (the louder channel) in history[newest]
//
// Arithmetic: the window, the transform and the powers are double (a huge
// finite input cannot overflow them); the dB spectrum is stored as float.
#pragma once
#include "howlcut/howlcutstate.h"

constexpr int howlbutterflies = 12 * howlfftsize / 2;  // log2(4096) stages of 2048

void howltransformtables(HowlState& state);
void howlwindowstep(HowlState& state, int first, int count);
void howlfftstep(HowlState& state, int first, int count);
void howlsplitstep(HowlState& state, int first, int count);

// Level in dB at bin k in history row `row`: the largest of k-1, k, k+1, so a
// sine between two bins reads the same as one on a bin.
float howllevel(const HowlState& state, int row, int k);
