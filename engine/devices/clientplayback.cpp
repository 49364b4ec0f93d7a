// clientplayback.cpp: the playback object on the audio-client interface.
// Threads: create and destroy on the user-interface thread; the open's own
// stream thread opens the stream, holds it and closes it; the write of each
// block and the reading of the padding run on the capture thread (inside
// processblock, and just before it).
#include "engine/devices/clientdevices.h"
#include "engine/devices/guiscanhook.h"
#include "engine/devices/waveapi.h"

#include "engine/engine.h"

void createclientplayback(ClientPlayback &d, int device) {
  ZeroMemory(&d.caps, sizeof d.caps);
  d.now = nullptr;
  const UINT id = device == -1 ? WAVE_MAPPER : static_cast<UINT>(device);
  if (waveapi.outcaps(id, &d.caps, sizeof d.caps) != 0) return;
  d.now = startclientplayback(device, engine.buffersize);
}

void destroyclientplayback(ClientPlayback &d) {
  const bool was = d.now != nullptr;
  stopclientplayback(d.now);
  if (was) runguiscanhook();
}

int clientplaybackopen(const ClientPlayback &d) { return d.now ? d.now->open.load() : 0; }
