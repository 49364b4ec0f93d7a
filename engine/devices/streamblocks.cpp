// streamblocks.cpp: block assembly and queue accounting of a stream device.
// Thread: the capture thread (streamblocks.h).
#include "engine/devices/streamblocks.h"

#include <algorithm>
#include <cstring>

#include "engine/atomics.h"
#include "engine/devices/latestblock.h"

std::atomic<int32_t> capturedcount{0};
std::atomic<const int16_t *> capturedblock{nullptr};

void streamcapturebegin(StreamCapture &c, int16_t *storage, int blockframes) {
  c.blocks = storage;
  c.blockframes = blockframes;
  c.gathering = 0;
  c.filled = 0;
  c.lastblock = -1.0e9;
  c.bunchwindow = blockframes / 4.0 / samplerate;
  c.nextframe = 0;
  c.positioned = false;
  std::memset(storage, 0, sizeof(int16_t) * 4 * static_cast<size_t>(blockframes));
}

// processblock's queue call for buffer i, already marked busy and filled.
// A buffer the device would not take is free again at once.
static void streamqueue(void *context, int i) {
  StreamPlayback &p = *static_cast<StreamPlayback *>(context);
  if (p.written == 0 && p.primeframes > 0 && p.write(p.device, p.silence, p.primeframes) == 0)
    p.written = p.primeframes;
  if (p.write(p.device, p.data[i], p.blockframes) != 0) {
    p.busy[i].store(0, std::memory_order_relaxed);
    return;
  }
  p.written += p.blockframes;
  p.blockend[i] = p.written;
}

static void streamsettle(void *context) { streamplaybacksettle(*static_cast<StreamPlayback *>(context)); }

// The playback side as it is now, when it must be asked (a waveform playback
// reports each played buffer itself).
static void settleplayback() {
  PlaybackPort *port = engineplayback.load(std::memory_order_acquire);
  if (port && port->settle) port->settle(port->context);
}

// A whole block: the other half of the storage gathers the next one, so the
// published block stays whole until the block after it is complete.
static void deliverblock(StreamCapture &c) {
  const int16_t *block = c.blocks + 2 * static_cast<size_t>(c.blockframes) * c.gathering;
  c.gathering ^= 1;
  c.filled = 0;
  capturedblock.store(block);
  capturedcount.store(2 * c.blockframes);
  settleplayback();
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

void streamcaptureposition(StreamCapture &c, uint64_t position, uint32_t frames, bool flagged) {
  // The first packet of a stream may carry the mark: nothing was lost yet.
  if (c.positioned && (flagged || position > c.nextframe)) {
    countblock(livecounters.discontinuities);
    if (position > c.nextframe) countframes(livecounters.lostframes, position - c.nextframe);
  }
  c.nextframe = position + frames;
  c.positioned = true;
}

void streamcaptureend(StreamCapture &c) {
  const int16_t *mine = capturedblock.load();
  if (mine >= c.blocks && mine < c.blocks + 4 * static_cast<size_t>(c.blockframes) &&
      capturedblock.compare_exchange_strong(mine, nullptr))
    capturedcount = 0;
}


void streamplaybackbegin(StreamPlayback &p, int16_t *storage, int blockframes,
                         int (*write)(void *device, const int16_t *samples, int frames),
                         int64_t (*padding)(void *device), void *device) {
  p.buffercount = streambuffercount;
  p.blockframes = blockframes;
  std::memset(storage, 0, sizeof(int16_t) * 2 * (streambuffercount + 1) * static_cast<size_t>(blockframes));
  for (int i = 0; i < streambuffercount; ++i) {
    p.busy[i] = 0;
    p.blockend[i] = 0;
    p.data[i] = storage + 2 * static_cast<size_t>(blockframes) * i;
  }
  p.written = 0;
  p.primeframes = streamprimeframes(blockframes);
  p.silence = storage + 2 * static_cast<size_t>(blockframes) * streambuffercount;
  p.current = 0;
  p.emptyat = 0;
  p.write = write;
  p.padding = padding;
  p.device = device;
  p.port.buffercount = streambuffercount;
  p.port.bufferframes = blockframes;
  p.port.busy = p.busy;
  p.port.current = &p.current;
  p.port.data = p.data;
  p.port.context = &p;
  p.port.queue = streamqueue;
  p.port.settle = streamsettle;
  p.lag = StreamLag{};
}

// The previous sample's lag, timed by the clock reading processblock took
// right after it. Starting over whenever the device was left without blocks
// on purpose (no block written and fewer than two queued: playing off,
// quitting), so such a pause is never taken for a starvation.
static void weighlag(StreamPlayback &p) {
  StreamLag &g = p.lag;
  if (!g.sampled || engineclock.streamclock) return;
  g.sampled = false;
  const double now = engineclock.lastreading;
  if (ld(engine.quitrequest) != 0 || (p.written == g.samplewritten && g.samplequeued < 2)) {
    g.begun = false;
    return;
  }
  if (!g.begun) {
    g = StreamLag{true, now, g.sampleplayed, now, 0.0, 1.0e300, false, false, 0, 0, 0};
    return;
  }
  const double lag = (now - g.start) * samplerate - static_cast<double>(g.sampleplayed - g.startplayed);
  g.windowfloor = std::min(g.windowfloor, lag);
  if (now - g.windowstart < std::max(lagwindow, 3.0 * p.blockframes / samplerate)) return;
  if (g.windowfloor > g.floor + streamperiodframes) {
    if (!g.starving) countblock(livecounters.underruns);
    countframes(livecounters.starvedframes, static_cast<uint64_t>(g.windowfloor - g.floor));
    g.floor = g.windowfloor;
    g.starving = true;
  } else {
    g.floor = std::min(g.floor, g.windowfloor);
    g.starving = false;
  }
  g.windowstart = now;
  g.windowfloor = 1.0e300;
}

void streamplaybacksettle(StreamPlayback &p) {
  weighlag(p);
  const int64_t padding = p.padding(p.device);
  if (padding < 0) return;  // the device cannot tell: the marks stay as they are
  const int64_t played = p.written - padding;
  int queued = 0;
  for (int i = 0; i < p.buffercount; ++i) {
    if (p.busy[i].load(std::memory_order_relaxed) == 0) continue;
    if (p.blockend[i] <= played) p.busy[i].store(0, std::memory_order_relaxed);
    else ++queued;
  }
  // The device has played everything it was given, at this moment: unless
  // this block is written within the device's own slack, it starves. Counted
  // once each time the queue runs empty; not while closing, when it drains on
  // purpose.
  if (queued == 0 && p.written > p.emptyat) {
    if (ld(engine.quitrequest) == 0) countblock(livecounters.queueempty);
    p.emptyat = p.written;
  }
  p.lag.sampled = true;
  p.lag.sampleplayed = played;
  p.lag.samplewritten = p.written;
  p.lag.samplequeued = queued;
}

int streamplaybackqueued(const StreamPlayback &p) {
  int n = 0;
  for (int i = 0; i < p.buffercount; ++i) n += p.busy[i].load(std::memory_order_relaxed) != 0;
  return n;
}
