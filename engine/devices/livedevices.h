// livedevices.h: the capture and playback devices of a live program, on the
// back end chosen at its start: the waveform API (wavedevices.h, the default)
// or the audio-client interface (clientdevices.h). A back end is a table of
// plain functions; tests may put in one of their own.
//
//   static LiveDevices devices;                          // one address for the whole run
//   audiobackendnamed("wasapi", devices.backend);        // from --audio, before the first open
//   openplayback(devices, waveout);  ...  opencapture(devices, wavein);
//   closecapture(devices);  closeplayback(devices);
//
// Both back ends take the same device numbers (-1 the default) and feed the
// same processblock; the application sees no difference but in the counters,
// which count what each back end can tell (livecounters.h).
// User-interface thread, but for the queries marked otherwise.
#pragma once
#include "engine/devices/clientdevices.h"
#include "engine/devices/wavedevices.h"

struct LiveDevices;

// One back end's operations on the devices of a LiveDevices.
struct AudioBackend {
  const char *name;  // as --audio names it
  void (*openplayback)(LiveDevices &d, int device);
  void (*opencapture)(LiveDevices &d, int device);
  void (*closecapture)(LiveDevices &d);
  void (*closeplayback)(LiveDevices &d);
  bool (*captureisopen)(const LiveDevices &d);
  bool (*playbackisopen)(const LiveDevices &d);
  const char *(*capturename)(const LiveDevices &d);
  const char *(*playbackname)(const LiveDevices &d);
  // Playback buffer i (0..5) while open, else null; its frames.
  const int16_t *(*playbackbuffer)(const LiveDevices &d, int i);
  int (*playbackframes)(const LiveDevices &d);
};

extern const AudioBackend waveformbackend;  // "waveform"
extern const AudioBackend clientbackend;    // "wasapi"

struct LiveDevices {
  const AudioBackend *backend = &waveformbackend;  // chosen before the first open
  WAVEIN_DEVICE wavein{};
  waveout_DEVICE waveout{};
  ClientCapture clientin{};
  ClientPlayback clientout{};
};

// "waveform" and "wasapi" (the names of --audio); false (backend unchanged)
// for any other name.
bool audiobackendnamed(const char *name, const AudioBackend *&backend);
const char *audiobackendname(const AudioBackend *backend);

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
