// clientcapture.cpp: the capture object on the audio-client interface.
// Threads: create and destroy on the user-interface thread; the open's own
// stream thread gathers packets into blocks and runs processblock, which is
// where every plug-in's pluginproc and the playback write run.
#include "engine/devices/clientdevices.h"
#include "engine/devices/guiscanhook.h"
#include "engine/devices/wavedevices.h"

void createclientcapture(ClientCapture &d, int device) {
  ZeroMemory(&d.caps, sizeof d.caps);
  d.now = nullptr;
  // processblock reads the live clock once per block; never let it find none.
  if (!engineclock.now && !engineclock.streamclock) engineclock.now = liveclock;
  const UINT id = device == -1 ? WAVE_MAPPER : static_cast<UINT>(device);
  if (waveapi.incaps(id, &d.caps, sizeof d.caps) != 0) return;
  d.now = startclientcapture(device, engine.buffersize);
}

void destroyclientcapture(ClientCapture &d) {
  const bool was = d.now != nullptr;
  stopclientcapture(d.now);
  if (was) runguiscanhook();  // the windows kept answering while the stream closed
}

int clientcaptureopen(const ClientCapture &d) { return d.now ? d.now->open.load() : 0; }
