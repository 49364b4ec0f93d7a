// waveapi.cpp: the platform table of waveform calls.
#include "engine/devices/waveapi.h"

static_assert(waveoutopenevent == MM_WOM_OPEN && waveoutcloseevent == MM_WOM_CLOSE &&
              waveoutdoneevent == MM_WOM_DONE, "playback event codes");
static_assert(waveinopenevent == MM_WIM_OPEN && waveincloseevent == MM_WIM_CLOSE &&
              waveindataevent == MM_WIM_DATA, "capture event codes");
static_assert(wavestillplaying == WAVERR_STILLPLAYING, "close-retry code");

static void platformsleep(int ms) { Sleep(static_cast<DWORD>(ms)); }

static void platformraise() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL); }

WaveApi platformwaveapi() {
  WaveApi a;
  a.innumdevs = waveInGetNumDevs;
  a.incaps = waveInGetDevCapsA;
  a.inopen = waveInOpen;
  a.inprepare = waveInPrepareHeader;
  a.inunprepare = waveInUnprepareHeader;
  a.inaddbuffer = waveInAddBuffer;
  a.instart = waveInStart;
  a.inreset = waveInReset;
  a.instop = waveInStop;
  a.inclose = waveInClose;
  a.outnumdevs = waveOutGetNumDevs;
  a.outcaps = waveOutGetDevCapsA;
  a.outopen = waveOutOpen;
  a.outprepare = waveOutPrepareHeader;
  a.outunprepare = waveOutUnprepareHeader;
  a.outwrite = waveOutWrite;
  a.outreset = waveOutReset;
  a.outclose = waveOutClose;
  a.sleepms = platformsleep;
  a.raisethread = platformraise;
  return a;
}

WaveApi waveapi = platformwaveapi();
