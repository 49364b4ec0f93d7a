// waveapi.h: the platform's waveform audio calls, as a small table of plain functions.
//
//   waveapi = platformwaveapi();     // what every program uses (the starting value)
//   waveapi.inclose = myfakeclose;   // tests: swap single calls for fakes
//
// The device objects (wavedevices.h) make every waveform call, and their pauses,
// through `waveapi`, so a test can answer them without a sound card: a close
// that reports buffers still in use, a failed preparation, a device that is missing.
// Swap entries only while no device object is open.
#pragma once
#include <windows.h>
#include <mmsystem.h>

struct WaveApi {
  // capture
  decltype(&::waveInGetNumDevs) innumdevs;        // the device list's length
  decltype(&::waveInGetDevCapsA) incaps;          // existence test, 48-byte record
  decltype(&::waveInOpen) inopen;
  decltype(&::waveInPrepareHeader) inprepare;
  decltype(&::waveInUnprepareHeader) inunprepare;
  decltype(&::waveInAddBuffer) inaddbuffer;
  decltype(&::waveInStart) instart;
  decltype(&::waveInReset) inreset;
  decltype(&::waveInStop) instop;
  decltype(&::waveInClose) inclose;
  // playback
  decltype(&::waveOutGetNumDevs) outnumdevs;
  decltype(&::waveOutGetDevCapsA) outcaps;        // existence test, 52-byte record
  decltype(&::waveOutOpen) outopen;
  decltype(&::waveOutPrepareHeader) outprepare;
  decltype(&::waveOutUnprepareHeader) outunprepare;
  decltype(&::waveOutWrite) outwrite;
  decltype(&::waveOutReset) outreset;
  decltype(&::waveOutClose) outclose;
  // the pauses of opening and closing, in milliseconds (user-interface thread)
  void (*sleepms)(int ms);
  // the calling thread to time-critical priority (the audio thread, once)
  void (*raisethread)();
};

// The table in use; starts as platformwaveapi().
extern WaveApi waveapi;

// The operating system's own calls.
WaveApi platformwaveapi();

// Platform event codes of the callback-function mode.
constexpr UINT waveoutopenevent = 955;   // MM_WOM_OPEN
constexpr UINT waveoutcloseevent = 956;  // MM_WOM_CLOSE
constexpr UINT waveoutdoneevent = 957;   // MM_WOM_DONE
constexpr UINT waveinopenevent = 958;    // MM_WIM_OPEN
constexpr UINT waveincloseevent = 959;    // MM_WIM_CLOSE
constexpr UINT waveindataevent = 960;    // MM_WIM_DATA
// A close answered with this (WAVERR_STILLPLAYING: buffers still in use) is retried.
constexpr MMRESULT wavestillplaying = 33;
