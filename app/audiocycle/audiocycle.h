// audiocycle.h: opening and closing the audio devices of roomcaster_quarn and
// roomcaster_live, in one order and with one set of pauses.
//
//   static LiveDevices devices;                               // back end chosen at start
//   int wavein = offereddevice(number, waveInGetNumDevs());  // -1 when not offered
//   openaudiocycle(devices, wavein, waveout);                // playback, then capture
//   ...                                                      // audio runs
//   closeaudiocycle(devices);                                // capture, then playback
//
// Pauses go through waveapi.sleepms and message passes through runguiscanhook,
// so a test with a fake waveform table sees the whole sequence. Either back
// end (livedevices.h) opens and closes in this order, with these pauses.
// Thread: the user-interface (main) thread.
#pragma once
#include "engine/devices/livedevices.h"

// Only the first 30 devices of a kind are listed.
constexpr int listeddevicecount = 30;

// The device number to open: `device` when it is -1 or a device the platform
// offers (below its count, cut to 30), otherwise -1, the system's default device.
int offereddevice(int device, int count);

// quitrequest 0; playback opened, 500 ms; capture opened with `gain` held at
// 0.01, 500 ms, `gain` restored; starttime, modes, vupeak and autolevel set.
void openaudiocycle(LiveDevices &devices, int wavein, int waveout);

// quitrequest 1 (the engine drops every block from now on); ten message passes
// 10 ms apart; capture closed, 100 ms; playback closed, 100 ms; fifty message
// passes 10 ms apart.
void closeaudiocycle(LiveDevices &devices);
