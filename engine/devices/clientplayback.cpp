// clientplayback.cpp: the playback object on the audio-client interface.
// Threads: create and destroy on the user-interface thread; the playback
// stream thread opens the stream, holds it and closes it; the write of each
// block and the reading of the padding run on the capture thread (inside
// processblock, and just before it).
#include <audioclient.h>

#include <new>

#include "engine/devices/clientdevices.h"
#include "engine/devices/clientthread.h"
#include "engine/devices/waveapi.h"

// processblock's write of one block (capture thread). A block the device will
// not take is lost, and its buffer is free again at once; an error other than
// a full device ends the running state, as a failed waveform write does.
static int writeblock(void *device, const int16_t *samples, int frames) {
  ClientPlayback &d = *static_cast<ClientPlayback *>(device);
  if (!d.t.running.load(std::memory_order_relaxed)) return 1;
  const HRESULT r = clientapi.write(d.t.stream, samples, static_cast<UINT32>(frames));
  if (FAILED(r)) {
    if (r != AUDCLNT_E_BUFFER_TOO_LARGE) d.t.running = 0;
    return 1;
  }
  return 0;
}

// The device's frames still to play (capture thread, before each block).
static int64_t readpadding(void *device) {
  ClientPlayback &d = *static_cast<ClientPlayback *>(device);
  if (!d.t.running.load(std::memory_order_relaxed)) return -1;
  UINT32 padding = 0;
  if (FAILED(clientapi.padding(d.t.stream, &padding))) {
    d.t.running = 0;
    return -1;
  }
  return padding;
}

// Blocks are written as they come, so the stream needs no period signal: the
// thread only keeps the stream from open to close.
static DWORD WINAPI playbackthread(void *object) {
  ClientThread &t = static_cast<ClientPlayback *>(object)->t;
  // Room for what the two-block rule lets in: two blocks and the silence ahead
  // of the first, no more. After running dry a platform may fill its buffer
  // with silence before it plays on (Wine does), and every frame of room is
  // then a frame of delay for the rest of the run.
  if (!openclientstream(t, false, 2 * t.blockframes + streamprimeframes(t.blockframes), false)) return 0;
  while (!t.quit.load()) clientapi.wait(t.event, INFINITE);
  closeclientstream(t);
  return 0;
}

void createclientplayback(ClientPlayback &d, int device) {
  ZeroMemory(&d.caps, sizeof d.caps);
  clearclientthread(d.t, device);
  d.storage = nullptr;
  if (d.t.blockframes < 1 || d.t.blockframes > 1 << 20) return;
  const UINT id = device == -1 ? WAVE_MAPPER : static_cast<UINT>(device);
  d.t.result = waveapi.outcaps(id, &d.caps, sizeof d.caps);
  if (d.t.result != 0) return;
  d.storage = new (std::nothrow) int16_t[2 * (streambuffercount + 1) * static_cast<size_t>(d.t.blockframes)];
  if (!d.storage) return;
  streamplaybackbegin(d.blocks, d.storage, d.t.blockframes, writeblock, readpadding, &d);
  if (!startclientthread(d.t, playbackthread, &d)) {
    if (!d.t.abandoned) {
      delete[] d.storage;
      d.storage = nullptr;
    }
    return;
  }
  // Nothing is written yet: playback starts with the first block processblock queues.
  engineplayback.store(&d.blocks.port);
}

void destroyclientplayback(ClientPlayback &d) {
  // processblock must never reach buffers that are about to go.
  PlaybackPort *mine = &d.blocks.port;
  engineplayback.compare_exchange_strong(mine, nullptr);
  stopclientthread(d.t);
  if (d.t.abandoned) return;
  delete[] d.storage;
  d.storage = nullptr;
}
