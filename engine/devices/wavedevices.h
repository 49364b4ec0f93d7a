// wavedevices.h: the capture and playback devices on the platform's waveform audio.
//
//   engineclock.now = liveclock;          // the live engine's clock (once, at start)
//   guiscanhook = guiscan;                // with the toolkit linked (guiscanhook.h)
//   createwaveout(out, waveout);          // playback first: publishes its buffers to processblock
//   Sleep(500);
//   createwavein(in, wavein);             // then capture: every block runs processblock
//   ...                                   // audio runs on the platform's callback thread
//   destroywavein(in);                    // capture first, so no block is in flight
//   destroywaveout(out);                  // then playback: withdraws its buffers, frees them
//
// The handlers count captured and bunched blocks and playback underruns in
// livecounters (engine/livecounters.h); processblock counts the rest.
//
// Device number -1 is the system's default device (the wave mapper). Both objects use
// 16-bit stereo 44100 Hz and six buffers of `buffersize` frames, read when they are
// created. Nothing is reported to the user: a device that is missing or cannot be
// opened leaves its object closed (open flag 0, no buffers, no callbacks), and any
// platform error in a handler ends the object's running state. A running capture
// with a closed playback object drops each block (processblock finds no port).
//
// Threads: create and destroy run on the user-interface thread; the callbacks and the
// handlers run on the platform's audio callback thread. The records must stay at one
// address from create to destroy (the platform hands the address back to the callbacks).
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/engine.h"
#include "engine/devices/guiscanhook.h"
#include "engine/devices/latestblock.h"
#include "engine/devices/waveapi.h"
#include "engine/devices/liveclock.h"  // the clock the devices time their blocks with

constexpr int wavebuffercount = 6;  // buffers per device object

// The capture object: records into a ring of six buffers, hands each filled one to
// processblock and gives it back to the device.
struct WAVEIN_DEVICE {
  int16_t *copybuffer;              // 2 x 4 x blockframes bytes: the engine's copy of the latest block
  int framesrecorded;               // frames in the latest block (audio thread)
  WAVEFORMATEX format;              // PCM, 2 channels, 44100 Hz, 16 bits
  WAVEINCAPSA caps;                 // as the platform returned it
  HWAVEIN handle;                   // null when closed
  MMRESULT result;                  // last platform result of create/destroy, 0 = success
  WAVEHDR **headers;                // table of buffercount headers, each with its data; null when closed
  std::atomic<int32_t> open;        // 1 between the open and the close event (callback writes)
  std::atomic<int32_t> running;     // 1 after a successful start, 0 after any error and when closing
  int buffercount;                  // 6
  int blockframes;                  // frames per buffer: buffersize at creation
  double lastcompletion;            // seconds on the engine clock of the latest completion with samples
  double bunchwindow;               // seconds: a quarter block; completions closer than this are bunched
  DWORD callbackthread;             // the thread last raised to time-critical priority (audio thread)
};

// The playback object: six buffers that processblock fills and queues through `port`,
// each marked busy until the platform reports it played.
struct waveout_DEVICE {
  WAVEFORMATEX format;              // PCM, 2 channels, 44100 Hz, 16 bits
  WAVEOUTCAPSA caps;                // as the platform returned it
  HWAVEOUT handle;                  // null when closed
  MMRESULT result;                  // last platform result of create/destroy, 0 = success
  WAVEHDR **headers;                // table of buffercount headers; null when closed
  std::atomic<int32_t> open;        // 1 between the open and the close event (callback writes)
  std::atomic<int32_t> running;     // 1 when every buffer was prepared, 0 after any error
  int buffercount;                  // 6
  int blockframes;                  // frames per buffer: buffersize at creation
  std::atomic<int32_t> busy[wavebuffercount];  // set by processblock, cleared by the done handler
  int current;                      // rotation index, advanced by processblock (audio thread)
  int16_t *data[wavebuffercount];   // each buffer's samples, 2 x blockframes (the headers' data)
  DWORD callbackthread;             // the thread last raised to time-critical priority (audio thread)
  PlaybackPort port;                // what processblock sees; in engineplayback while open
};

// User-interface thread. device: 0.. or -1 for the default.
// Shared by both objects (waveshared.cpp): the fixed format record, and one
// zeroed buffer of `bytes` with its zeroed header (user value `index`, flags 0),
// or null when memory runs out.
void fillwaveformat(WAVEFORMATEX &f);
WAVEHDR *newwaveheader(DWORD bytes, int index);
void freewaveheader(WAVEHDR *hdr);  // the buffer and its header; null is fine

void createwavein(WAVEIN_DEVICE &d, int device);
void destroywavein(WAVEIN_DEVICE &d);
void createwaveout(waveout_DEVICE &d, int device);
void destroywaveout(waveout_DEVICE &d);

// Audio thread: the platform calls these with the object's address as instance.
void CALLBACK waveincallback(HWAVEIN h, UINT event, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
void CALLBACK waveoutcallback(HWAVEOUT h, UINT event, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
void waveinblock(WAVEIN_DEVICE &d, WAVEHDR *header);   // one filled capture buffer
// The calling thread to time-critical priority, once for each thread that calls
// (the platform may change its callback thread); afterwards one read of the
// thread id from the thread's own block, no system call. Audio thread.
void raisecallbackthread(DWORD &raised);
void waveoutdone(waveout_DEVICE &d, WAVEHDR *header);  // one played buffer

// The device with this product name (as the capabilities give it): its number, or
// -2 when there is none. User-interface thread.
int findwavein(const char *name);
int findwaveout(const char *name);

