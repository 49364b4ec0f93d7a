// streamblocks.h: blocks for a stream device, one that hands over capture data
// in packets of any length and counts for itself the frames it still has to
// play (the audio-client back end). Portable: no system calls, no allocation.
//
// Capture: packets are gathered into whole blocks of `buffersize` frames; each
// whole block runs through processblock at once.
//   StreamCapture c; streamcapturebegin(c, storage, frames);  // storage: 2 blocks
//   streamcaptureposition(c, position, n, flagged);  // audio thread: each packet's place on the device
//   streamcapturepacket(c, samples, n);     // audio thread; samples null: n frames of silence
//   streamcaptureend(c);                    // the latest block is no longer published
//
// Playback: the six buffers keep their meaning. processblock marks one busy and
// fills it; the port's queue call writes it to the device, where it stays busy
// until the device has played past its end. Just before each block runs, the
// device's own count of frames still to play (its padding) is read and the
// buffers played to their end are freed, so `freeout` and the two-block rule
// see the device as it is at that moment.
//   StreamPlayback p; streamplaybackbegin(p, storage, frames, write, padding, device);
//   engineplayback.store(&p.port);          // blocks can be placed
//
// The device takes blocks in periods of its own (10 ms). Blocks come in whole
// periods too, but the two sides' periods wander against each other, so the
// number of periods left to play when a block arrives (its padding) swings by
// one. The two-block rule drops a block once the padding exceeds a block; the
// device starves when it reaches nothing. Ahead of the first block, half a
// block of silence (in whole periods, rounded down) is written, so the padding
// swings in the middle of that range: a late capture and a late playback
// period are both absorbed. A one-period block gets none (either side would
// then be lost on every swing).
//
// Thread: the capture thread runs all of it: the assembly, the settling of the
// playback buffers, processblock and the writes. The counters' single-writer
// rule holds (livecounters.h).
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/engine.h"

constexpr int streambuffercount = 6;  // playback buffers, as on the waveform devices
constexpr int streamperiodframes = 441;  // the device's period: 10 ms, as shared-mode devices use

struct StreamCapture {
  int16_t *blocks;      // two blocks of 2 x blockframes samples: one gathering, one handed on
  int blockframes;      // frames per block: buffersize when opened
  int gathering;        // the block being filled (0 or 1)
  int filled;           // frames in it so far
  double lastblock;     // engine-clock time of the latest whole block
  double bunchwindow;   // seconds: a quarter block; whole blocks closer than this are bunched
  uint64_t nextframe;   // the device position the next packet should start at
  bool positioned;      // a packet has been placed (nextframe holds)
};

void streamcapturebegin(StreamCapture &c, int16_t *storage, int blockframes);
// Audio thread. Each block the packet completes is published as the latest
// captured block, the playback buffers are settled, the block runs through
// processblock and is counted (captured, bunched).
void streamcapturepacket(StreamCapture &c, const int16_t *samples, int frames);
// Audio thread, before each packet: a packet that starts past where the last
// one ended, or that the device marks as following a loss, is a
// discontinuity; the frames it skipped are lost (the packets are spliced).
void streamcaptureposition(StreamCapture &c, uint64_t position, uint32_t frames, bool flagged);
void streamcaptureend(StreamCapture &c);

// Underruns measured from time: from the first sample on, the device should
// have played (elapsed seconds x 44100) frames; it has played (written -
// padding). The difference, the lag, swings by up to one device period as
// the device takes its periods; it rises for good only while the device has
// nothing to play. Its floor is taken over windows of `lagwindow` seconds (a
// reading just before a late period is played is not a loss), and a floor
// more than one period above the lowest seen so far is an underrun: counted
// once however many windows it lasts, with the frames it rose by as starved.
struct StreamLag {
  bool begun;          // a first sample was taken
  double start;        // clock and frames played at the first sample
  int64_t startplayed;
  double windowstart;  // the current window's start and its lowest lag
  double windowfloor;
  double floor;        // the lowest window floor so far (after an underrun: its floor)
  bool starving;       // the last window was an underrun
  // The sample taken at the latest settle, timed by processblock's clock
  // reading right after it; evaluated at the next settle.
  bool sampled;
  int64_t sampleplayed, samplewritten;
  int samplequeued;
};
constexpr double lagwindow = 0.1;  // seconds, and at least three blocks

struct StreamPlayback {
  int buffercount;                               // 6
  int blockframes;                               // frames per buffer: buffersize when opened
  std::atomic<int32_t> busy[streambuffercount];  // set by processblock, cleared once played
  int64_t blockend[streambuffercount];           // `written` after each busy buffer went to the device
  int64_t written;                               // frames written to the device since it opened (silence too)
  int primeframes;                               // silence written ahead of the first block
  const int16_t *silence;                        // a silent block (the storage's seventh)
  int64_t emptyat;                               // `written` when the queue was last found empty
  StreamLag lag;                                 // how far playing has fallen behind the clock
  int current;                                   // rotation index, advanced by processblock
  int16_t *data[streambuffercount];              // each buffer's samples, 2 x blockframes
  // The device's write of one block: 0 when it took every frame.
  int (*write)(void *device, const int16_t *samples, int frames);
  // The device's frames written and not yet played; -1 when it cannot tell.
  int64_t (*padding)(void *device);
  void *device;
  PlaybackPort port;                             // what processblock sees while published
};

// storage: 7 x 2 x blockframes samples (six buffers and the silence), zeroed here.
void streamplaybackbegin(StreamPlayback &p, int16_t *storage, int blockframes,
                         int (*write)(void *device, const int16_t *samples, int frames),
                         int64_t (*padding)(void *device), void *device);
// Audio thread, before each block: buffers the device has played to their end
// are free again; a queue found empty after something was written since it
// was last found empty counts one `queueempty` (a moment, often no loss); the
// lag of the previous settle is weighed (underruns, starvedframes) and a new
// one sampled. Nothing is counted while quitting. streamcapturepacket calls
// this through the published port's settle; tests call it directly.
void streamplaybacksettle(StreamPlayback &p);
// Buffers busy now (for display and tests).
int streamplaybackqueued(const StreamPlayback &p);
// The silence ahead of the first block: half a block in whole periods, rounded down.
constexpr int streamprimeframes(int blockframes) { return blockframes / (2 * streamperiodframes) * streamperiodframes; }
