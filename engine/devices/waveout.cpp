// waveout.cpp: the playback object (waveout_DEVICE).
// Threads: createwaveout / destroywaveout on the user-interface thread;
// waveoutcallback and waveoutdone on the platform's audio callback thread;
// waveoutqueue on the capture callback thread, inside processblock.
#include <cstring>
#include <new>

#include "engine/devices/guiscanhook.h"
#include "engine/devices/wavedevices.h"

static void clearwaveout(waveout_DEVICE &d) {
  std::memset(&d.format, 0, sizeof d.format);
  std::memset(&d.caps, 0, sizeof d.caps);
  d.handle = nullptr;
  d.result = 0;
  d.headers = nullptr;
  d.open = 0;
  d.running = 0;
  d.buffercount = wavebuffercount;
  d.blockframes = 0;
  for (int i = 0; i < wavebuffercount; ++i) {
    d.busy[i] = 0;
    d.data[i] = nullptr;
  }
  d.current = 0;
  d.callbackthread = 0;
  d.port = PlaybackPort{};
}

// processblock's queue call for buffer i, already marked busy and filled: prepare
// it again and write it. A buffer the device refused would stay busy for ever and
// shrink the rotation, so its mark is cleared at once and the error ends the
// running state, as an error in the done handler does.
static void waveoutqueue(void *context, int i) {
  waveout_DEVICE &d = *static_cast<waveout_DEVICE *>(context);
  WAVEHDR *hdr = d.headers[i];
  MMRESULT r = waveapi.outprepare(d.handle, hdr, sizeof(WAVEHDR));
  if (r == 0) r = waveapi.outwrite(d.handle, hdr, sizeof(WAVEHDR));
  if (r != 0) {
    d.running = 0;
    d.busy[i] = 0;
  }
}

void createwaveout(waveout_DEVICE &d, int device) {
  clearwaveout(d);
  d.buffercount = wavebuffercount;
  d.blockframes = engine.buffersize;
  if (d.blockframes < 1 || d.blockframes > 1 << 20) return;

  const UINT id = device == -1 ? WAVE_MAPPER : static_cast<UINT>(device);
  d.result = waveapi.outcaps(id, &d.caps, sizeof d.caps);
  if (d.result != 0) return;

  fillwaveformat(d.format);
  HWAVEOUT h = nullptr;
  d.result = waveapi.outopen(&h, id, &d.format, reinterpret_cast<DWORD_PTR>(waveoutcallback),
                             reinterpret_cast<DWORD_PTR>(&d), CALLBACK_FUNCTION);
  if (d.open != 1) {
    if (d.result == 0 && h) waveapi.outclose(h);  // opened without its event: do not keep it
    return;
  }
  d.handle = h;

  const DWORD bytes = 4 * static_cast<DWORD>(d.blockframes);
  d.headers = new (std::nothrow) WAVEHDR *[d.buffercount]();
  if (!d.headers) return;
  for (int i = 0; i < d.buffercount; ++i) {
    WAVEHDR *hdr = newwaveheader(bytes, i);
    if (!hdr) return;  // open, not running, no port: every block is dropped
    d.headers[i] = hdr;
    d.data[i] = reinterpret_cast<int16_t *>(hdr->lpData);
    d.busy[i] = 0;
    d.result = waveapi.outprepare(d.handle, hdr, sizeof(WAVEHDR));
  }
  d.running = d.result == 0 ? 1 : 0;

  // Nothing is written yet: playback starts with the first block processblock queues.
  d.port.buffercount = d.buffercount;
  d.port.bufferframes = d.blockframes;
  d.port.busy = d.busy;
  d.port.current = &d.current;
  d.port.data = d.data;
  d.port.context = &d;
  d.port.queue = waveoutqueue;
  engineplayback.store(&d.port);
}

void CALLBACK waveoutcallback(HWAVEOUT, UINT event, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
  waveout_DEVICE &d = *reinterpret_cast<waveout_DEVICE *>(instance);
  if (event == waveoutopenevent) {
    d.open = 1;
  } else if (event == waveoutcloseevent) {
    d.open = 0;
  } else if (event == waveoutdoneevent) {
    raisecallbackthread(d.callbackthread);  // a late done holds a buffer busy
    waveoutdone(d, reinterpret_cast<WAVEHDR *>(param1));
  }
}

void waveoutdone(waveout_DEVICE &d, WAVEHDR *header) {
  if (waveapi.outunprepare(d.handle, header, sizeof(WAVEHDR)) != 0) d.running = 0;
  if (!d.headers) return;
  int queued = 0;
  for (int i = 0; i < d.buffercount; ++i) {
    if (d.headers[i] == header) d.busy[i] = 0;  // free for processblock again
    queued += d.busy[i] != 0;
  }
  // Nothing left to play: the device starves until the next block arrives. Not
  // while closing, when the queue drains on purpose.
  if (queued == 0 && d.running && engine.quitrequest.load(std::memory_order_relaxed) == 0)
    countblock(livecounters.underruns);
}

void destroywaveout(waveout_DEVICE &d) {
  // processblock must never reach buffers that are about to go.
  PlaybackPort *mine = &d.port;
  engineplayback.compare_exchange_strong(mine, nullptr);
  if (!d.handle || d.open != 1) return;

  d.running = 0;
  runguiscanhook();
  waveapi.sleepms(100);
  waveapi.outreset(d.handle);  // every queued buffer comes back through the done handler
  runguiscanhook();
  waveapi.sleepms(100);

  if (d.headers) {
    for (int i = 0; i < d.buffercount; ++i) {
      WAVEHDR *hdr = d.headers[i];
      if (!hdr) continue;
      waveapi.outunprepare(d.handle, hdr, sizeof(WAVEHDR));
      freewaveheader(hdr);
      d.data[i] = nullptr;
    }
    WAVEHDR **table = d.headers;
    d.headers = nullptr;
    delete[] table;
  }

  MMRESULT r = waveapi.outclose(d.handle);
  for (int retries = 0; r == wavestillplaying && retries < 100; ++retries) {
    waveapi.sleepms(50);
    r = waveapi.outclose(d.handle);
  }
  d.result = r;
  d.handle = nullptr;
}
