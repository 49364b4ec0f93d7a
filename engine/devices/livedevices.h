// livedevices.h: the capture and playback devices of a live program, on the
// back end chosen at its start: the waveform API (wavedevices.h, the default)
// or the audio-client interface (clientdevices.h).
//
//   static LiveDevices devices;              // one address for the whole run
//   devices.backend = audiobackendnamed("wasapi");   // from --audio, before the first open
//   openplayback(devices, waveout);  ...  opencapture(devices, wavein);
//   closecapture(devices);  closeplayback(devices);
//
// Both back ends take the same device numbers (-1 the default), feed the same
// processblock and count the same events; the application sees no difference.
// User-interface thread, but for the queries marked otherwise.
#pragma once
#include "engine/devices/clientdevices.h"
#include "engine/devices/wavedevices.h"

enum class AudioBackend { waveform, client };

struct LiveDevices {
  AudioBackend backend = AudioBackend::waveform;  // chosen before the first open
  WAVEIN_DEVICE wavein{};
  waveout_DEVICE waveout{};
  ClientCapture clientin{};
  ClientPlayback clientout{};
};

// "waveform" and "wasapi" (the names of --audio); false for any other name.
bool audiobackendnamed(const char *name, AudioBackend &backend);
const char *audiobackendname(AudioBackend backend);

void openplayback(LiveDevices &d, int device);
void opencapture(LiveDevices &d, int device);
void closecapture(LiveDevices &d);
void closeplayback(LiveDevices &d);

bool captureisopen(const LiveDevices &d);
bool playbackisopen(const LiveDevices &d);
// The product names as the waveform API gives them (the device lists' names).
const char *capturename(const LiveDevices &d);
const char *playbackname(const LiveDevices &d);
// Playback buffer i (0..5) while the playback device is open, else null; its
// 2 x playbackframes samples are written by the audio thread. Any thread.
const int16_t *playbackbuffer(const LiveDevices &d, int i);
int playbackframes(const LiveDevices &d);
