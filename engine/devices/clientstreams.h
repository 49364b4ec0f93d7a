// clientstreams.h: the opens of the stream devices (the audio-client back
// end). Portable: every platform call goes through clientapi (clientapi.h).
//
//   ClientOpen *out = startclientplayback(device, frames);  // null: stays closed
//   ClientOpen *in = startclientcapture(device, frames);    // its thread runs processblock
//   ...
//   stopclientcapture(in);                                  // capture first; both set to null
//   stopclientplayback(out);
//
// Each open owns its context: stream, flags, events, thread and storage. The
// context is handed to its thread when the thread starts and is never shared
// with another open, so nothing a thread does reaches a later open.
//
// A thread that does not end within clientstopwaitms of being asked (a
// plug-in stalled inside processblock) is given up on: it keeps its whole
// context, leaked on purpose, and `clientabandoned` is set for the rest of
// the process. A capture thread given up on may still write to the playback
// open it was feeding, so from then on a playback open that closes keeps its
// stream and storage too, and every later open stays closed (the program
// shows it as it shows any closed device).
//
// Device loss: a failed capture call closes the capture stream (`open` 0);
// a failed playback write or padding withdraws the playback port, frees every
// busy mark and has the playback thread close its stream (`open` 0). Blocks
// are then dropped, as with no playback device. Closing and opening again
// after the device is back works as on the waveform devices.
//
// Threads: start and stop on the user-interface thread; each open's own
// thread opens, serves and closes its stream. The capture thread gathers
// packets into blocks, settles the playback buffers and runs processblock
// (and with it the playback writes); the counters' single-writer rule holds.
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/devices/clientapi.h"
#include "engine/devices/streamblocks.h"

struct ClientOpen {
  bool capture;
  int device;                     // waveform device number, -1 the default
  int blockframes;                // frames per block
  void *thread;                   // the open's stream thread
  void *event;                    // set by the device every period (capture), on loss and on stop
  void *ready;                    // set by the thread once the stream is open, or failed
  std::atomic<int32_t> open;      // 1 while the stream is open (thread writes)
  std::atomic<int32_t> running;   // 1 while blocks flow; 0 after any error and when stopping
  std::atomic<int32_t> quit;      // 1: the thread closes its stream and ends (stop writes)
  clientresult result;            // the platform's answer to the open (thread writes before ready)
  ClientStream *stream;           // the open stream (the thread's)
  int16_t *storage;               // capture: two blocks; playback: six buffers and a silent one
  StreamCapture in;               // capture opens: packets into blocks
  StreamPlayback out;             // playback opens: the six buffers; out.port is processblock's
};

// Set once a stream thread was given up on; never cleared. Any thread.
extern std::atomic<int32_t> clientabandoned;
// How long stop waits for a thread to end, and start for the stream to open.
extern int clientstopwaitms;
extern int clientopenwaitms;

// User-interface thread. Null when the device stays closed (no endpoint, a
// refused open, no memory, or after a thread was given up on). A playback
// open publishes its port in engineplayback.
ClientOpen *startclientplayback(int device, int blockframes);
ClientOpen *startclientcapture(int device, int blockframes);
// User-interface thread. Stops the flow, has the thread close its stream,
// frees the context (or leaves it to a thread given up on); null afterwards.
void stopclientcapture(ClientOpen *&open);
void stopclientplayback(ClientOpen *&open);
