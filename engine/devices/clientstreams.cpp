// clientstreams.cpp: the life of one stream device open, and its thread.
// Threads: start and stop on the user-interface thread; the bodies on the
// open's own thread; the playback write and padding on the capture thread.
#include "engine/devices/clientstreams.h"

#include <new>

#include "engine/engine.h"
#include "engine/devices/latestblock.h"
#include "engine/devices/subnormals.h"

std::atomic<int32_t> clientabandoned{0};
// A period is 10 ms or so, but a plug-in inside processblock may take its time.
int clientstopwaitms = 5000;
int clientopenwaitms = 10000;

// How long the capture thread sleeps without a period's signal before it
// looks at its flags again: a device that stops delivering leaves it waiting here.
constexpr int idlewaitms = 100;

// Stream thread: the platform's library, the stream opened and started,
// time-critical priority; `ready` set either way.
static bool openstream(ClientOpen &o, int frames, bool periodic, bool &begun) {
  begun = clientapi.threadbegin();
  o.stream = clientapi.open(o.capture, o.device, frames, periodic ? o.event : nullptr, &o.result);
  if (o.stream) {
    o.result = clientapi.start(o.stream);
    if (clientfailed(o.result)) {
      clientapi.close(o.stream);
      o.stream = nullptr;
    }
  }
  if (!o.stream) {
    if (begun) clientapi.threadend();
    clientapi.setevent(o.ready);
    return false;
  }
  // A block late by more than the queue's slack is a block dropped: this
  // thread must not wait behind the machine's other work.
  clientapi.raisethread();
  o.running = 1;
  o.open = 1;
  clientapi.setevent(o.ready);
  return true;
}

// Stream thread: the stream stopped and closed; then the thread waits to be
// told to end, so a device lost early still ends only when stopped.
static void closestream(ClientOpen &o, bool begun) {
  o.running = 0;
  clientapi.stop(o.stream);
  clientapi.close(o.stream);
  o.stream = nullptr;
  o.open = 0;
  if (begun) clientapi.threadend();
  while (!o.quit.load()) clientapi.wait(o.event, -1);
}

// Every packet waiting, through the blocks; false when the device failed.
static bool takepackets(ClientOpen &o) {
  for (;;) {
    ClientPacket p{};
    if (clientfailed(clientapi.packet(o.stream, &p))) return false;
    if (p.frames == 0) return true;
    streamcaptureposition(o.in, p.position, p.frames, p.discontinuity);
    // Processing first, handing back after, as the waveform capture does.
    streamcapturepacket(o.in, p.silent ? nullptr : p.samples, static_cast<int>(p.frames));
    if (clientfailed(clientapi.release(o.stream, p.frames))) return false;
    if (!o.running.load()) return true;  // stopping
  }
}

static void capturethread(void *context) {
  ClientOpen &o = *static_cast<ClientOpen *>(context);
  bool begun = false;
  // Room for six blocks, as the waveform capture has six buffers queued.
  if (!openstream(o, 6 * o.blockframes, true, begun)) return;
  while (!o.quit.load()) {
    clientapi.wait(o.event, idlewaitms);
    if (!o.running.load()) continue;
    flushsubnormals();
    if (!takepackets(o)) break;  // the device went away or broke: recording ends here
  }
  closestream(o, begun);
}

// Blocks are written as they come, so the stream needs no period signal: the
// thread keeps the stream from open to stop, or until the capture thread
// finds it lost.
static void playbackthread(void *context) {
  ClientOpen &o = *static_cast<ClientOpen *>(context);
  bool begun = false;
  // Room for what the two-block rule lets in: two blocks and the silence ahead
  // of the first, no more. After running dry a platform may fill its buffer
  // with silence before it plays on (Wine does), and every frame of room is
  // then a frame of delay for the rest of the run.
  if (!openstream(o, 2 * o.blockframes + streamprimeframes(o.blockframes), false, begun)) return;
  while (!o.quit.load() && o.running.load()) clientapi.wait(o.event, -1);
  closestream(o, begun);
}

// Capture thread: the playback stream failed. processblock gets no port (its
// blocks are dropped, not counted as queued), no buffer stays busy, and the
// playback thread closes the stream.
static void playbacklost(ClientOpen &o) {
  o.running = 0;
  PlaybackPort *mine = &o.out.port;
  engineplayback.compare_exchange_strong(mine, nullptr);
  for (auto &b : o.out.busy) b.store(0, std::memory_order_relaxed);
  clientapi.setevent(o.event);
}

// processblock's write of one block (capture thread). A block the device will
// not take for want of room is lost, and its buffer is free again at once;
// any other failure is the device lost.
static int writeblock(void *device, const int16_t *samples, int frames) {
  ClientOpen &o = *static_cast<ClientOpen *>(device);
  if (!o.running.load(std::memory_order_relaxed)) return 1;
  const clientresult r = clientapi.write(o.stream, samples, static_cast<uint32_t>(frames));
  if (clientfailed(r)) {
    if (r != clientbuffertoolarge) playbacklost(o);
    return 1;
  }
  return 0;
}

// The device's frames still to play (capture thread, before each block).
static int64_t readpadding(void *device) {
  ClientOpen &o = *static_cast<ClientOpen *>(device);
  if (!o.running.load(std::memory_order_relaxed)) return -1;
  uint32_t padding = 0;
  if (clientfailed(clientapi.padding(o.stream, &padding))) {
    playbacklost(o);
    return -1;
  }
  return padding;
}

static void freeopen(ClientOpen *o) {
  if (o->event) clientapi.closehandle(o->event);
  if (o->ready) clientapi.closehandle(o->ready);
  if (o->thread) clientapi.closehandle(o->thread);
  delete[] o->storage;
  delete o;
}

// Asks the thread to end and waits for it; false when it did not end in time.
// Then it is given up on: its context stays, leaked, for it to keep using.
static bool endthread(ClientOpen *o) {
  o->running = 0;
  o->quit = 1;
  clientapi.setevent(o->event);
  if (clientapi.wait(o->thread, clientstopwaitms)) return true;
  clientabandoned = 1;
  return false;
}

static ClientOpen *startopen(bool capture, int device, int blockframes, void (*body)(void *)) {
  if (clientabandoned.load() || blockframes < 1 || blockframes > 1 << 20) return nullptr;
  ClientOpen *o = new (std::nothrow) ClientOpen{};
  if (!o) return nullptr;
  o->capture = capture;
  o->device = device;
  o->blockframes = blockframes;
  const size_t samples = 2 * static_cast<size_t>(blockframes) * (capture ? 2 : streambuffercount + 1);
  o->storage = new (std::nothrow) int16_t[samples];
  o->event = clientapi.newevent(false);
  o->ready = clientapi.newevent(true);
  if (!o->storage || !o->event || !o->ready) {
    freeopen(o);
    return nullptr;
  }
  if (capture) streamcapturebegin(o->in, o->storage, blockframes);
  else streamplaybackbegin(o->out, o->storage, blockframes, writeblock, readpadding, o);
  o->thread = clientapi.startthread(body, o);
  if (!o->thread) {
    freeopen(o);
    return nullptr;
  }
  // The thread sets `ready` in every case; a platform that never answers the
  // open is a closed device.
  if (!clientapi.wait(o->ready, clientopenwaitms) || o->open != 1) {
    if (endthread(o)) freeopen(o);
    return nullptr;
  }
  return o;
}

ClientOpen *startclientplayback(int device, int blockframes) {
  ClientOpen *o = startopen(false, device, blockframes, playbackthread);
  // Nothing is written yet: playback starts with the first block processblock queues.
  if (o) engineplayback.store(&o->out.port);
  return o;
}

ClientOpen *startclientcapture(int device, int blockframes) {
  return startopen(true, device, blockframes, capturethread);
}

void stopclientcapture(ClientOpen *&open) {
  ClientOpen *o = open;
  open = nullptr;
  if (!o || !endthread(o)) return;
  streamcaptureend(o->in);
  freeopen(o);
}

void stopclientplayback(ClientOpen *&open) {
  ClientOpen *o = open;
  open = nullptr;
  if (!o) return;
  // processblock must never reach buffers that are about to go.
  PlaybackPort *mine = &o->out.port;
  engineplayback.compare_exchange_strong(mine, nullptr);
  o->running = 0;
  // A capture thread given up on may be inside processblock with this open's
  // buffer in hand, or about to write to its stream: all of it stays.
  if (clientabandoned.load()) return;
  if (endthread(o)) freeopen(o);
}
