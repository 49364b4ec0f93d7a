// wavein.cpp: the capture object (WAVEIN_DEVICE).
// Threads: createwavein / destroywavein on the user-interface thread;
// waveincallback and waveinblock on the platform's audio callback thread,
// which is where processblock and every plug-in's pluginproc run.
#include <cstring>
#include <new>

#include "engine/devices/guiscanhook.h"
#include "engine/devices/subnormals.h"
#include "engine/devices/wavedevices.h"

static void clearwavein(WAVEIN_DEVICE &d) {
  d.copybuffer = nullptr;
  d.framesrecorded = 0;
  std::memset(&d.format, 0, sizeof d.format);
  std::memset(&d.caps, 0, sizeof d.caps);
  d.handle = nullptr;
  d.result = 0;
  d.headers = nullptr;
  d.open = 0;
  d.running = 0;
  d.buffercount = wavebuffercount;
  d.blockframes = 0;
  d.lastcompletion = -1.0e9;
  d.callbackthread = 0;
  d.bunchwindow = 0.0;
}

void createwavein(WAVEIN_DEVICE &d, int device) {
  clearwavein(d);
  d.buffercount = wavebuffercount;
  d.blockframes = engine.buffersize;
  // A block length no device could take leaves the object closed.
  if (d.blockframes < 1 || d.blockframes > 1 << 20) return;
  d.bunchwindow = d.blockframes / 4.0 / samplerate;
  // processblock reads the live clock once per block; never let it find none.
  if (!engineclock.now && !engineclock.streamclock) engineclock.now = liveclock;

  const UINT id = device == -1 ? WAVE_MAPPER : static_cast<UINT>(device);
  d.result = waveapi.incaps(id, &d.caps, sizeof d.caps);
  if (d.result != 0) return;

  fillwaveformat(d.format);
  HWAVEIN h = nullptr;
  d.result = waveapi.inopen(&h, id, &d.format, reinterpret_cast<DWORD_PTR>(waveincallback),
                            reinterpret_cast<DWORD_PTR>(&d), CALLBACK_FUNCTION);
  // The open event arrives during the open call; without it the object stays closed.
  if (d.open != 1) {
    if (d.result == 0 && h) waveapi.inclose(h);  // opened without its event: do not keep it
    return;
  }
  d.handle = h;

  const DWORD bytes = 4 * static_cast<DWORD>(d.blockframes);
  d.copybuffer = new (std::nothrow) int16_t[2 * bytes / sizeof(int16_t)]();
  d.framesrecorded = 0;
  d.headers = new (std::nothrow) WAVEHDR *[d.buffercount]();
  if (!d.copybuffer || !d.headers) return;  // open but not running; destroy frees what exists
  for (int i = 0; i < d.buffercount; ++i) {
    WAVEHDR *hdr = newwaveheader(bytes, i);
    if (!hdr) return;
    d.headers[i] = hdr;
    d.result = waveapi.inprepare(d.handle, hdr, sizeof(WAVEHDR));
  }
  for (int i = 0; i < d.buffercount; ++i)
    d.result = waveapi.inaddbuffer(d.handle, d.headers[i], sizeof(WAVEHDR));

  // Running before the start, so the first completed buffer is never left alone
  // by a callback that ran before the flag was set; cleared again if the start fails.
  d.running = 1;
  d.result = waveapi.instart(d.handle);
  if (d.result != 0) d.running = 0;
}

void CALLBACK waveincallback(HWAVEIN, UINT event, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
  WAVEIN_DEVICE &d = *reinterpret_cast<WAVEIN_DEVICE *>(instance);
  if (event == waveinopenevent) {
    d.open = 1;
  } else if (event == waveincloseevent) {
    d.open = 0;
  } else if (event == waveindataevent) {
    // Only here: the open and close events arrive on the user-interface thread,
    // whose own float work (presets, the loop test) must keep its subnormals.
    flushsubnormals();
    // The whole chain runs here: a block late by more than the queue's slack is a
    // block dropped, so this thread must not wait behind the machine's other work.
    raisecallbackthread(d.callbackthread);
    // Not running (an error, or closing): the buffer is left alone.
    if (d.running) waveinblock(d, reinterpret_cast<WAVEHDR *>(param1));
  }
}

void raisecallbackthread(DWORD &raised) {
  const DWORD self = GetCurrentThreadId();
  if (self == raised) return;
  raised = self;
  waveapi.raisethread();
}

void waveinblock(WAVEIN_DEVICE &d, WAVEHDR *header) {
  MMRESULT r = waveapi.inunprepare(d.handle, header, sizeof(WAVEHDR));
  DWORD bytes = header->dwBytesRecorded;
  if (bytes > header->dwBufferLength) bytes = header->dwBufferLength;
  if (bytes != 0) {
    d.framesrecorded = static_cast<int>(bytes / 4);
    std::memcpy(d.copybuffer, header->lpData, bytes);
    capturedblock.store(d.copybuffer);
    capturedcount.store(2 * d.framesrecorded);
    // Processing first, handing back after: the other five buffers carry the
    // recording while this block runs through the chain.
    processblock(d.copybuffer, 2 * d.framesrecorded);
    countblock(livecounters.captured);
    // Timed with processblock's own clock reading, taken as the block arrived: a
    // completion hard on the heels of the last one means the platform held
    // buffers back and let them go together, and the queue rule drops the second.
    if (!engineclock.streamclock) {
      const double now = engineclock.lastreading;
      if (now - d.lastcompletion < d.bunchwindow) countblock(livecounters.bunched);
      d.lastcompletion = now;
    }
  }
  if (d.running) {
    header->dwFlags = 0;
    header->dwBytesRecorded = 0;
    r = waveapi.inprepare(d.handle, header, sizeof(WAVEHDR));
    if (r == 0) r = waveapi.inaddbuffer(d.handle, header, sizeof(WAVEHDR));
  }
  if (r != 0) d.running = 0;  // recording stops once the queued buffers are used up
}

void destroywavein(WAVEIN_DEVICE &d) {
  if (d.handle && d.open == 1) {
    // Stop the flow, let a callback in flight finish, then make the device return
    // every buffer (their completions now find the running flag off).
    d.running = 0;
    runguiscanhook();
    waveapi.sleepms(100);
    waveapi.inreset(d.handle);
    waveapi.instop(d.handle);
    runguiscanhook();
    waveapi.sleepms(100);

    if (d.headers) {
      for (int i = 0; i < d.buffercount; ++i) {
        WAVEHDR *hdr = d.headers[i];
        if (!hdr) continue;
        waveapi.inunprepare(d.handle, hdr, sizeof(WAVEHDR));
        freewaveheader(hdr);
      }
      delete[] d.headers;
      d.headers = nullptr;
    }

    MMRESULT r = waveapi.inclose(d.handle);
    for (int retries = 0; r == wavestillplaying && retries < 100; ++retries) {
      waveapi.sleepms(50);
      r = waveapi.inclose(d.handle);
    }
    d.result = r;
    d.handle = nullptr;
  }
  // In every case: the copy buffer goes, and nobody may read it any more.
  const int16_t *mine = d.copybuffer;
  if (capturedblock.compare_exchange_strong(mine, nullptr)) capturedcount = 0;
  delete[] d.copybuffer;
  d.copybuffer = nullptr;
}
