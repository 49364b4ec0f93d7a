// clientcapture.cpp: the capture object on the audio-client interface.
// Threads: create and destroy on the user-interface thread; the capture
// stream thread gathers packets into blocks and runs processblock, which is
// where every plug-in's pluginproc and the playback write run.
#include <new>

#include "engine/devices/clientdevices.h"
#include "engine/devices/clientthread.h"
#include "engine/devices/liveclock.h"
#include "engine/devices/waveapi.h"
#include "engine/devices/subnormals.h"

// How long the thread sleeps without a period's signal before it looks at its
// flags again: a device that stops delivering leaves the thread waiting here.
constexpr DWORD idlewaitms = 100;

static DWORD WINAPI capturethread(void *object) {
  ClientCapture &d = *static_cast<ClientCapture *>(object);
  ClientThread &t = d.t;
  // Room for six blocks, as the waveform capture has six buffers queued.
  if (!openclientstream(t, true, 6 * t.blockframes, true)) return 0;
  while (!t.quit.load()) {
    clientapi.wait(t.event, idlewaitms);
    if (!t.running.load()) continue;
    flushsubnormals();
    for (;;) {
      const int16_t *samples = nullptr;
      UINT32 frames = 0;
      bool silent = false;
      HRESULT r = clientapi.packet(t.stream, &samples, &frames, &silent);
      if (FAILED(r)) {
        t.running = 0;  // the device went away or broke: recording stops here
        break;
      }
      if (frames == 0) break;
      // Processing first, handing back after, as the waveform capture does.
      streamcapturepacket(d.blocks, silent ? nullptr : samples, static_cast<int>(frames));
      if (FAILED(clientapi.release(t.stream, frames))) {
        t.running = 0;
        break;
      }
      if (!t.running.load()) break;  // closing
    }
  }
  closeclientstream(t);
  return 0;
}

void createclientcapture(ClientCapture &d, int device) {
  ZeroMemory(&d.caps, sizeof d.caps);
  clearclientthread(d.t, device);
  d.storage = nullptr;
  if (d.t.blockframes < 1 || d.t.blockframes > 1 << 20) return;
  // processblock reads the live clock once per block; never let it find none.
  if (!engineclock.now && !engineclock.streamclock) engineclock.now = liveclock;
  const UINT id = device == -1 ? WAVE_MAPPER : static_cast<UINT>(device);
  d.t.result = waveapi.incaps(id, &d.caps, sizeof d.caps);
  if (d.t.result != 0) return;
  d.storage = new (std::nothrow) int16_t[4 * static_cast<size_t>(d.t.blockframes)];
  if (!d.storage) return;
  streamcapturebegin(d.blocks, d.storage, d.t.blockframes);
  if (!startclientthread(d.t, capturethread, &d) && !d.t.abandoned) {
    delete[] d.storage;
    d.storage = nullptr;
  }
}

void destroyclientcapture(ClientCapture &d) {
  stopclientthread(d.t);
  if (d.t.abandoned) return;  // still running: nothing is freed under it
  if (d.storage) streamcaptureend(d.blocks);
  delete[] d.storage;
  d.storage = nullptr;
}
