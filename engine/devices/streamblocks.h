// streamblocks.h: blocks for a stream device, one that hands over capture data
// in packets of any length and counts for itself the frames it still has to
// play (the audio-client back end). Portable: no system calls, no allocation.
//
// Capture: packets are gathered into whole blocks of `buffersize` frames; each
// whole block runs through processblock at once.
//   StreamCapture c; streamcapturebegin(c, storage, frames);  // storage: 2 blocks
//   streamcapturepacket(c, samples, n);     // audio thread; samples null: n frames of silence
//   streamcaptureend(c);                    // the latest block is no longer published
//
// Playback: the six buffers keep their meaning. processblock marks one busy and
// fills it; the port's queue call writes it to the device, where it stays busy
// until the device has played past its end, read from the device's own count
// of frames still queued (its padding).
//   StreamPlayback p; streamplaybackbegin(p, storage, frames, write, device);
//   engineplayback.store(&p.port);          // blocks can be placed
//   int64_t w = streamplaybackwritten(p);   // playback thread, each device period:
//   streamplaybacksettle(p, w, padding);    //   the padding read after w
//
// Threads: the capture thread runs streamcapturepacket, processblock and the
// queue call (the writer of `written` and of each block's end); the playback
// thread runs streamplaybacksettle (the clearer of busy marks and the counter
// of underruns). Both counters' single-writer rule holds (livecounters.h).
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/engine.h"

constexpr int streambuffercount = 6;  // playback buffers, as on the waveform devices

struct StreamCapture {
  int16_t *blocks;      // two blocks of 2 x blockframes samples: one gathering, one handed on
  int blockframes;      // frames per block: buffersize when opened
  int gathering;        // the block being filled (0 or 1)
  int filled;           // frames in it so far
  double lastblock;     // engine-clock time of the latest whole block
  double bunchwindow;   // seconds: a quarter block; whole blocks closer than this are bunched
};

void streamcapturebegin(StreamCapture &c, int16_t *storage, int blockframes);
// Audio thread. Each block the packet completes is published as the latest
// captured block, run through processblock and counted (captured, bunched).
void streamcapturepacket(StreamCapture &c, const int16_t *samples, int frames);
void streamcaptureend(StreamCapture &c);

struct StreamPlayback {
  int buffercount;                              // 6
  int blockframes;                              // frames per buffer: buffersize when opened
  std::atomic<int32_t> busy[streambuffercount];  // set by processblock, cleared once played
  std::atomic<int64_t> blockend[streambuffercount];  // `written` after the buffer went to the device;
                                                // pendingend while busy and not yet written
  std::atomic<int64_t> written;                 // frames written to the device since it opened
  int current;                                  // rotation index, advanced by processblock
  int16_t *data[streambuffercount];             // each buffer's samples, 2 x blockframes
  int64_t emptyat;                              // playback thread: `written` when the queue was last found empty
  // The device's write of one block: 0 when it took every frame. Capture thread.
  int (*write)(void *device, const int16_t *samples, int frames);
  void *device;
  PlaybackPort port;                            // what processblock sees while published
};

constexpr int64_t pendingend = INT64_MAX;

// storage: 6 x 2 x blockframes samples, zeroed here.
void streamplaybackbegin(StreamPlayback &p, int16_t *storage, int blockframes,
                         int (*write)(void *device, const int16_t *samples, int frames), void *device);
inline int64_t streamplaybackwritten(const StreamPlayback &p) { return p.written.load(std::memory_order_acquire); }
// Playback thread: frames `written` had reached when the device reported
// `padding` frames still to play. Buffers played to their end are free again;
// a queue that has just run empty counts one underrun (not while quitting).
void streamplaybacksettle(StreamPlayback &p, int64_t written, int64_t padding);
// Buffers busy now (any thread; for display and tests).
int streamplaybackqueued(const StreamPlayback &p);
