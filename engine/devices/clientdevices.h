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
// of frames still to play), and the counters of livecounters.h. Nothing is
// reported to the user: a device that is missing or cannot be opened leaves its
// object closed, and any platform error ends the object's running state.
//
// Threads: create and destroy on the user-interface thread. Each object runs
// one stream thread of its own from create to destroy, which opens and closes
// its stream. The capture thread does the audio work: it gathers packets into
// blocks, reads the playback stream's padding to free played buffers, and runs
// processblock (and with it every plug-in and the playback write). The records
// must stay at one address from create to destroy.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>

#include "engine/devices/clientapi.h"
#include "engine/devices/latestblock.h"
#include "engine/devices/streamblocks.h"

// What both objects have: the stream's thread and its wake-up.
struct ClientThread {
  HANDLE thread;                   // the stream thread; null when closed
  HANDLE event;                    // set by the device every period (capture), and by destroy
  HANDLE ready;                    // set by the thread once the stream is open, or failed
  std::atomic<int32_t> open;       // 1 while the stream is open (thread writes)
  std::atomic<int32_t> running;    // 1 while blocks flow; 0 after any error and when closing
  std::atomic<int32_t> quit;       // 1: the thread closes the stream and ends (destroy writes)
  HRESULT result;                  // the platform's answer to the open (thread writes before ready)
  ClientStream *stream;            // the open stream (the thread's)
  int device;                      // waveform device number, -1 the default
  int blockframes;                 // frames per block: buffersize at creation
  bool abandoned;                  // the thread did not end when asked: its object's memory stays
};

struct ClientCapture {
  WAVEINCAPSA caps;                // the waveform device's capabilities: existence test and name
  ClientThread t;
  int16_t *storage;                // two blocks of 2 x blockframes samples; null when closed
  StreamCapture blocks;            // gathering packets into blocks (capture thread)
};

struct ClientPlayback {
  WAVEOUTCAPSA caps;               // the waveform device's capabilities: existence test and name
  ClientThread t;
  int16_t *storage;                // six buffers and a silent one, 2 x blockframes samples each; null when closed
  StreamPlayback blocks;           // the six buffers and their accounting (capture thread); its port is processblock's
};

// User-interface thread. device: 0.. or -1 for the default.
void createclientcapture(ClientCapture &d, int device);
void destroyclientcapture(ClientCapture &d);
void createclientplayback(ClientPlayback &d, int device);
void destroyclientplayback(ClientPlayback &d);
