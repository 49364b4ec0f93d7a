// playbackport.h: what processblock needs of the playback side, as a narrow seam.
//
// The live playback device (waveout_DEVICE) fills one of these when it opens and
// withdraws it before it closes; the renderer and the tests fill their own.
//   PlaybackPort p{...};  engineplayback.store(&p);   // now blocks can be placed
//   engineplayback.store(nullptr);                    // blocks are dropped
// With no port (playback closed) every block is dropped.
#pragma once
#include <atomic>
#include <cstdint>

struct PlaybackPort {
  int buffercount;                 // number of playback buffers (6)
  int bufferframes;                // frames per buffer (buffersize when opened)
  std::atomic<int32_t> *busy;      // busy mark per buffer: set by processblock, cleared when played
  int *current;                    // rotation index, advanced by processblock
  int16_t *const *data;            // data of each buffer, 2 x bufferframes samples
  void *context;                   // handed back to queue
  // Prepare buffer `index` and write it to the device (audio thread, inside processblock).
  void (*queue)(void *context, int index);
  // Optional (null: none): the capture side calls it just before each block,
  // for a device that must be asked what it played (a stream device).
  void (*settle)(void *context);
};

// The port processblock uses; swapped by the user-interface thread when devices open and close.
extern std::atomic<PlaybackPort *> engineplayback;

// The engine clock: seconds, the same clock the application uses for `starttime`.
//   Live: engineclock.now is read once per block; a sample's time is that
//         reading plus its frame offset in the block / 44100.
//   Stream clock (renderer, tests): frame f of the stream is at f / 44100 s
//         exactly; streamframe counts the frames of every block handed in.
struct EngineClock {
  double (*now)();         // live clock, seconds; unused when streamclock is set
  bool streamclock;        // true: time comes from streamframe
  int64_t streamframe;     // frames handed to processblock so far (stream clock)
  double lastreading;      // live clock: processblock's reading for the latest block
                           // (audio thread writes, the capture handler reads it after)
};
extern EngineClock engineclock;
