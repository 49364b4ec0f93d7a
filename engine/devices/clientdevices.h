// clientdevices.h: the capture and playback devices on the audio-client
// interface (shared mode, event-driven): the second back end, beside the
// waveform devices (wavedevices.h), used the same way.
//
//   createclientplayback(out, waveout);   // playback first: publishes its buffers to processblock
//   Sleep(500);
//   createclientcapture(in, wavein);      // then capture: every whole block runs processblock
//   ...                                   // audio runs on the two stream threads
//   destroyclientcapture(in);             // capture first, so no block is in flight
//   destroyclientplayback(out);           // then playback: withdraws its buffers, frees them
//
// What stays as on the waveform devices: device numbers (the waveform device's
// endpoint, -1 the default), 16-bit stereo 44100 Hz, blocks of `buffersize`
// frames read at creation, six playback buffers with their busy marks (so
// `freeout` and the two-block rule hold, measured from the device's own count
// of frames still to play). The counters differ where the device can tell
// more (livecounters.h). Nothing is reported to the user: a device that is
// missing or cannot be opened leaves its object closed, and a device lost
// while running is closed (clientstreams.h).
//
// Threads: create and destroy on the user-interface thread. Each open runs a
// stream thread of its own with a context of its own (clientstreams.h).
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include "engine/devices/clientstreams.h"

struct ClientCapture {
  WAVEINCAPSA caps;                // the waveform device's capabilities: existence test and name
  ClientOpen *now;                 // the open; null when closed
};

struct ClientPlayback {
  WAVEOUTCAPSA caps;               // the waveform device's capabilities: existence test and name
  ClientOpen *now;                 // the open (its out.port is processblock's); null when closed
};

// User-interface thread. device: 0.. or -1 for the default.
void createclientcapture(ClientCapture &d, int device);
void destroyclientcapture(ClientCapture &d);
void createclientplayback(ClientPlayback &d, int device);
void destroyclientplayback(ClientPlayback &d);
// 1 while the object's stream is open (any thread).
int clientcaptureopen(const ClientCapture &d);
int clientplaybackopen(const ClientPlayback &d);
