// audiocycle.cpp: the audio cycle: opening and closing both devices.
// Thread: the user-interface (main) thread.
#include "app/audiocycle/audiocycle.h"

int offereddevice(int device, int count) {
  if (count > listeddevicecount) count = listeddevicecount;
  // Below -1 (a damaged settings file, a list with nothing chosen) is no device
  // at all: the default opens rather than nothing.
  return device >= -1 && device < count ? device : -1;
}

static void passmessages(int times) {
  for (int i = 0; i < times; ++i) {
    runguiscanhook();
    waveapi.sleepms(10);
  }
}

void openaudiocycle(LiveDevices &devices, int wavein, int waveout) {
  engine.quitrequest = 0;
  openplayback(devices, waveout);
  waveapi.sleepms(500);
  // Quiet while the capture side starts: its first blocks may be loud clicks.
  const float gain = engine.gain;
  engine.gain = 0.01f;
  opencapture(devices, wavein);
  waveapi.sleepms(500);
  engine.gain = gain;
  enginedevicesopened(engineclock.now ? engineclock.now() : liveclock());  // 3 s silence, 3 s fade-in
}

void closeaudiocycle(LiveDevices &devices) {
  engine.quitrequest = 1;  // blocks still arriving are dropped, so playback drains
  passmessages(10);
  closecapture(devices);
  waveapi.sleepms(100);
  closeplayback(devices);
  waveapi.sleepms(100);
  passmessages(50);
}
