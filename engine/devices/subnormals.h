// subnormals.h: flush-to-zero and denormals-are-zero for the calling thread.
//
//   flushsubnormals();   // audio thread, before each block it processes
//
// The one-pole stages of the chain decay toward zero in silence, and subnormal
// floats there would cost many times the normal time per sample. Values that
// small are far below one 16-bit step, so nothing audible changes. One register
// read; written only when not already set (a platform may run the audio on a
// fresh thread, and a plug-in may change the register).
#pragma once
#include <xmmintrin.h>

inline void flushsubnormals() {
  const unsigned int ftzdaz = 0x8040;  // MXCSR bit 15 flush-to-zero, bit 6 denormals-are-zero
  const unsigned int csr = _mm_getcsr();
  if ((csr & ftzdaz) != ftzdaz) _mm_setcsr(csr | ftzdaz);
}
