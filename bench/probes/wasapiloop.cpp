// wasapiloop: the leanest loop on the audio-client interface (shared mode,
// event-driven), to show what the platform allows with nothing of ours in the
// path. Capture packets are gathered into blocks of --buffersize frames; each
// whole block is written to the playback stream unless two blocks are already
// waiting there (the product's two-block rule, read from the stream's padding).
//   wasapiloop.exe --buffersize 441 --seconds 60 --wavein "Monitor of X" --waveout Y
// The devices are named as the waveform API lists them and found through the
// waveform driver's endpoint id, as the product does.
// Threads: main (opens, prints, closes); one audio thread (waits on the capture
// stream's event and writes each whole block to the playback stream at once).
#include <initguid.h>
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>
#include <mmdeviceapi.h>
#include <audioclient.h>
#include <functiondiscoverykeys_devpkey.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/probes/probekit.h"

namespace {

ProbeCounters counters;
std::atomic<int> stop{0};

template <class T>
void release(T *&p) {
  if (p) p->Release();
  p = nullptr;
}

// The endpoint of waveform device `wave` (-1: the default endpoint).
IMMDevice *endpointof(IMMDeviceEnumerator *e, bool capture, int wave) {
  IMMDevice *d = nullptr;
  if (wave < 0) {
    e->GetDefaultAudioEndpoint(capture ? eCapture : eRender, eConsole, &d);
    return d;
  }
  ULONG bytes = 0;
  MMRESULT r = capture ? waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(wave)),
                                       DRV_QUERYFUNCTIONINSTANCEIDSIZE, reinterpret_cast<DWORD_PTR>(&bytes), 0)
                       : waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(wave)),
                                        DRV_QUERYFUNCTIONINSTANCEIDSIZE, reinterpret_cast<DWORD_PTR>(&bytes), 0);
  if (r != 0 || bytes == 0) return nullptr;
  std::vector<WCHAR> id(bytes / sizeof(WCHAR) + 1, 0);
  r = capture ? waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(wave)), DRV_QUERYFUNCTIONINSTANCEID,
                              reinterpret_cast<DWORD_PTR>(id.data()), bytes)
              : waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(wave)), DRV_QUERYFUNCTIONINSTANCEID,
                               reinterpret_cast<DWORD_PTR>(id.data()), bytes);
  if (r != 0 || e->GetDevice(id.data(), &d) != S_OK) return nullptr;
  return d;
}

// The endpoint's friendly name, for the header line.
std::string nameof(IMMDevice *d) {
  std::string name = "?";
  IPropertyStore *p = nullptr;
  if (d && d->OpenPropertyStore(STGM_READ, &p) == S_OK) {
    PROPVARIANT v;
    PropVariantInit(&v);
    if (p->GetValue(PKEY_Device_FriendlyName, &v) == S_OK && v.vt == VT_LPWSTR) {
      char text[256];
      WideCharToMultiByte(CP_UTF8, 0, v.pwszVal, -1, text, sizeof text, nullptr, nullptr);
      name = text;
    }
    PropVariantClear(&v);
    p->Release();
  }
  return name;
}

// 16-bit stereo 44100 Hz in shared mode, converted by the platform where the
// mix format differs; event-driven when `event` is given. Returns the client, or null.
IAudioClient *openclient(IMMDevice *d, HANDLE event, REFERENCE_TIME duration) {
  IAudioClient *c = nullptr;
  if (!d || d->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void **>(&c)) != S_OK)
    return nullptr;
  WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  const DWORD flags = event ? AUDCLNT_STREAMFLAGS_EVENTCALLBACK : 0;
  HRESULT hr = c->Initialize(AUDCLNT_SHAREMODE_SHARED,
                             flags | AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
                             duration, 0, &f, nullptr);
  if (FAILED(hr)) {
    release(c);
    d->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void **>(&c));
    hr = c ? c->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, duration, 0, &f, nullptr) : E_FAIL;
  }
  if (FAILED(hr) || (event && c->SetEventHandle(event) != S_OK)) {
    std::fprintf(stderr, "wasapiloop: initialize failed (%08lx)\n", static_cast<unsigned long>(hr));
    release(c);
  }
  return c;
}

struct Loop {
  IAudioClient *in = nullptr, *out = nullptr;
  IAudioCaptureClient *capture = nullptr;
  IAudioRenderClient *render = nullptr;
  HANDLE inevent = nullptr;
  int frames = 441;              // frames per block
  std::vector<int16_t> block;    // the block being gathered, 2 x frames
  int filled = 0;                // frames gathered so far
  double lastblock = -1e9;       // time of the latest whole block
  bool starved = true;           // the playback stream was found empty at the latest block
  int prime = 0;                 // frames of silence still to write ahead of the first block
};

// One whole block: queued unless two blocks already wait in the playback
// stream. The stream's padding (frames written and not yet played) is read as
// the block arrives: an empty stream after a write is an underrun.
void deliver(Loop &l) {
  counters.captured.fetch_add(1, std::memory_order_relaxed);
  const double now = probeclock();
  if (now - l.lastblock < l.frames / 4.0 / 44100.0) counters.bunched.fetch_add(1, std::memory_order_relaxed);
  l.lastblock = now;
  counters.inpeak.store(blockpeakof(l.block.data(), 2 * l.frames), std::memory_order_relaxed);
  UINT32 padding = 0;
  if (l.out->GetCurrentPadding(&padding) != S_OK) padding = 0;
  if (padding == 0 && !l.starved) counters.underruns.fetch_add(1, std::memory_order_relaxed);
  l.starved = padding == 0;
  BYTE *p = nullptr;
  if (l.prime > 0 && l.render->GetBuffer(static_cast<UINT32>(l.prime), &p) == S_OK) {
    std::memset(p, 0, 4 * static_cast<size_t>(l.prime));
    l.render->ReleaseBuffer(static_cast<UINT32>(l.prime), 0);
    padding += l.prime;
  }
  l.prime = 0;
  if ((padding + l.frames - 1) / l.frames >= 2 || l.render->GetBuffer(static_cast<UINT32>(l.frames), &p) != S_OK) {
    counters.dropped.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  std::memcpy(p, l.block.data(), 4 * static_cast<size_t>(l.frames));
  l.render->ReleaseBuffer(static_cast<UINT32>(l.frames), 0);
  l.starved = false;
  counters.processed.fetch_add(1, std::memory_order_relaxed);
}

// Capture packets, whatever their length, gathered into whole blocks.
void audiothread(Loop &l) {
  raiseprobethread();
  while (!stop.load()) {
    WaitForSingleObject(l.inevent, 200);
    BYTE *data;
    UINT32 n;
    DWORD flags;
    while (l.capture->GetBuffer(&data, &n, &flags, nullptr, nullptr) == S_OK) {
      const int16_t *s = reinterpret_cast<const int16_t *>(data);
      for (UINT32 done = 0; done < n;) {
        const UINT32 take = std::min<UINT32>(n - done, static_cast<UINT32>(l.frames - l.filled));
        if (flags & AUDCLNT_BUFFERFLAGS_SILENT)
          std::memset(&l.block[2 * static_cast<size_t>(l.filled)], 0, 4 * static_cast<size_t>(take));
        else
          std::memcpy(&l.block[2 * static_cast<size_t>(l.filled)], s + 2 * done, 4 * static_cast<size_t>(take));
        l.filled += static_cast<int>(take);
        done += take;
        if (l.filled == l.frames) {
          deliver(l);
          l.filled = 0;
        }
      }
      l.capture->ReleaseBuffer(n);
      if (n == 0) break;
    }
  }
}

}  // namespace

int main(int argc, char **argv) {
  ProbeOptions o;
  if (!parseprobe(argc, argv, o, "wasapiloop")) return 2;
  const int din = probewavein(o.wavein), dout = probewaveout(o.waveout);
  if (din < -1 || dout < -1) {
    std::fprintf(stderr, "wasapiloop: no such device\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  IMMDeviceEnumerator *e = nullptr;
  if (CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                       reinterpret_cast<void **>(&e)) != S_OK) {
    std::fprintf(stderr, "wasapiloop: no device enumerator\n");
    return 1;
  }
  Loop l;
  l.frames = o.buffersize;
  l.prime = o.prime;
  l.block.assign(2 * static_cast<size_t>(l.frames), 0);
  l.inevent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  IMMDevice *din_ = endpointof(e, true, din), *dout_ = endpointof(e, false, dout);
  // Capture: six blocks of room, as the six buffers of the waveform capture.
  // Playback: room for what the two-block rule lets in, and no more (after
  // running dry Wine fills the buffer with silence before it plays on).
  const REFERENCE_TIME block = l.frames * 10000000LL / 44100, prime = l.prime * 10000000LL / 44100;
  l.out = openclient(dout_, nullptr, 2 * block + prime);  // written as blocks arrive
  l.in = openclient(din_, l.inevent, 6 * block);
  if (!l.in || !l.out || l.in->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void **>(&l.capture)) ||
      l.out->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void **>(&l.render))) {
    std::fprintf(stderr, "wasapiloop: cannot open the devices\n");
    return 1;
  }
  REFERENCE_TIME defperiod = 0, minperiod = 0, inlatency = 0, outlatency = 0;
  UINT32 inframes = 0, outframes = 0;
  l.out->GetDevicePeriod(&defperiod, &minperiod);
  l.in->GetStreamLatency(&inlatency);
  l.out->GetStreamLatency(&outlatency);
  l.in->GetBufferSize(&inframes);
  l.out->GetBufferSize(&outframes);
  std::printf("wasapiloop: from \"%s\" to \"%s\"\n", nameof(din_).c_str(), nameof(dout_).c_str());
  std::printf("wasapiloop: %d-frame blocks; period %.1f ms (min %.1f); buffers %u/%u frames; stream latency %.1f/%.1f ms\n",
              l.frames, defperiod / 1e4, minperiod / 1e4, inframes, outframes, inlatency / 1e4, outlatency / 1e4);
  std::fflush(stdout);
  l.out->Start();
  if (o.stagger > 0) Sleep(static_cast<DWORD>(o.stagger));
  l.in->Start();
  std::thread t(audiothread, std::ref(l));
  runprobestatus("wasapiloop", o, counters, [] { return false; });
  stop = 1;
  t.join();
  l.in->Stop();
  l.out->Stop();
  release(l.capture);
  release(l.render);
  release(l.in);
  release(l.out);
  release(din_);
  release(dout_);
  release(e);
  CoUninitialize();
  return 0;
}
