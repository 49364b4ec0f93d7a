// streamblocks.cpp: block assembly and queue accounting of a stream device.
// Threads as streamblocks.h says: capture (assembly, processblock, writes),
// playback (settling the busy marks).
#include "streamblocks.h"

#include <algorithm>
#include <cstring>

#include "engine/atomics.h"
#include "latestblock.h"

std::atomic<int32_t> capturedcount{0};
std::atomic<const int16_t *> capturedblock{nullptr};

void streamcapturebegin(StreamCapture &c, int16_t *storage, int blockframes) {
  c.blocks = storage;
  c.blockframes = blockframes;
  c.gathering = 0;
  c.filled = 0;
  c.lastblock = -1.0e9;
  c.bunchwindow = blockframes / 4.0 / samplerate;
  std::memset(storage, 0, sizeof(int16_t) * 4 * static_cast<size_t>(blockframes));
}

// A whole block: the other half of the storage gathers the next one, so the
// published block stays whole until the block after it is complete.
static void deliverblock(StreamCapture &c) {
  const int16_t *block = c.blocks + 2 * static_cast<size_t>(c.blockframes) * c.gathering;
  c.gathering ^= 1;
  c.filled = 0;
  capturedblock.store(block);
  capturedcount.store(2 * c.blockframes);
  processblock(block, 2 * c.blockframes);
  countblock(livecounters.captured);
  // Timed with processblock's own clock reading, as the waveform capture does:
  // two blocks out of one packet, or packets held back and let go together, are bunched.
  if (!engineclock.streamclock) {
    const double now = engineclock.lastreading;
    if (now - c.lastblock < c.bunchwindow) countblock(livecounters.bunched);
    c.lastblock = now;
  }
}

void streamcapturepacket(StreamCapture &c, const int16_t *samples, int frames) {
  while (frames > 0) {
    const int take = std::min(frames, c.blockframes - c.filled);
    int16_t *to = c.blocks + 2 * (static_cast<size_t>(c.blockframes) * c.gathering + c.filled);
    if (samples) {
      std::memcpy(to, samples, sizeof(int16_t) * 2 * static_cast<size_t>(take));
      samples += 2 * take;
    } else {
      std::memset(to, 0, sizeof(int16_t) * 2 * static_cast<size_t>(take));
    }
    c.filled += take;
    frames -= take;
    if (c.filled == c.blockframes) deliverblock(c);
  }
}

void streamcaptureend(StreamCapture &c) {
  const int16_t *mine = capturedblock.load();
  if (mine >= c.blocks && mine < c.blocks + 4 * static_cast<size_t>(c.blockframes) &&
      capturedblock.compare_exchange_strong(mine, nullptr))
    capturedcount = 0;
}

// processblock's queue call for buffer i, already marked busy and filled.
// A buffer the device would not take is free again at once.
static void streamqueue(void *context, int i) {
  StreamPlayback &p = *static_cast<StreamPlayback *>(context);
  if (p.write(p.device, p.data[i], p.blockframes) != 0) {
    p.busy[i].store(0, std::memory_order_release);
    return;
  }
  const int64_t end = p.written.load(std::memory_order_relaxed) + p.blockframes;
  p.blockend[i].store(end, std::memory_order_relaxed);
  p.written.store(end, std::memory_order_release);
}

void streamplaybackbegin(StreamPlayback &p, int16_t *storage, int blockframes,
                         int (*write)(void *device, const int16_t *samples, int frames), void *device) {
  p.buffercount = streambuffercount;
  p.blockframes = blockframes;
  std::memset(storage, 0, sizeof(int16_t) * 2 * streambuffercount * static_cast<size_t>(blockframes));
  for (int i = 0; i < streambuffercount; ++i) {
    p.busy[i] = 0;
    p.blockend[i] = pendingend;
    p.data[i] = storage + 2 * static_cast<size_t>(blockframes) * i;
  }
  p.written = 0;
  p.current = 0;
  p.emptyat = 0;
  p.write = write;
  p.device = device;
  p.port.buffercount = streambuffercount;
  p.port.bufferframes = blockframes;
  p.port.busy = p.busy;
  p.port.current = &p.current;
  p.port.data = p.data;
  p.port.context = &p;
  p.port.queue = streamqueue;
}

void streamplaybacksettle(StreamPlayback &p, int64_t written, int64_t padding) {
  // A block written after `written` was read is not in it, and a padding read
  // after such a write only makes `played` smaller: never freed too early.
  const int64_t played = written - padding;
  int queued = 0;
  for (int i = 0; i < p.buffercount; ++i) {
    if (p.busy[i].load(std::memory_order_acquire) == 0) continue;
    if (p.blockend[i].load(std::memory_order_relaxed) <= played) {
      // The end goes back to pending before the mark clears, so the next use
      // of this buffer is never judged by this one's end.
      p.blockend[i].store(pendingend, std::memory_order_relaxed);
      p.busy[i].store(0, std::memory_order_release);
    } else {
      ++queued;
    }
  }
  // The device has played everything it was given: it starves until the next
  // block arrives. Counted once each time the queue runs empty (something was
  // written since it was last found empty); not while closing, when it drains
  // on purpose.
  if (queued == 0 && written > p.emptyat) {
    if (ld(engine.quitrequest) == 0) countblock(livecounters.underruns);
    p.emptyat = written;
  }
}

int streamplaybackqueued(const StreamPlayback &p) {
  int n = 0;
  for (int i = 0; i < p.buffercount; ++i) n += p.busy[i].load(std::memory_order_relaxed) != 0;
  return n;
}
