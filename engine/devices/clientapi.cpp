// clientapi.cpp: the platform table of audio-client calls, events and threads.
// Threads: as clientapi.h says; each stream belongs to the thread that opened it.
#include <initguid.h>

#include "engine/devices/clientapi.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>
#include <mmdeviceapi.h>
#include <audioclient.h>

#include <new>

#include "engine/enginestate.h"

struct ClientStream {
  IAudioClient *client;
  IAudioCaptureClient *capture;  // capture streams
  IAudioRenderClient *render;    // playback streams
  BYTE *packetdata;              // capture: the packet in hand
};

template <class T>
static void release(T *&p) {
  if (p) p->Release();
  p = nullptr;
}

// The endpoint id of waveform device `device` (DRV_QUERYFUNCTIONINSTANCEID), so a
// device number means the same device on both back ends; false when the driver
// does not tell. id: room for `chars` wide characters.
static bool waveendpointid(bool capture, int device, wchar_t *id, size_t chars) {
  DWORD_PTR bytes = 0;  // the size query writes a whole pointer-sized value
  const UINT_PTR d = static_cast<UINT_PTR>(device);
  MMRESULT r = capture ? waveInMessage(reinterpret_cast<HWAVEIN>(d), DRV_QUERYFUNCTIONINSTANCEIDSIZE,
                                       reinterpret_cast<DWORD_PTR>(&bytes), 0)
                       : waveOutMessage(reinterpret_cast<HWAVEOUT>(d), DRV_QUERYFUNCTIONINSTANCEIDSIZE,
                                        reinterpret_cast<DWORD_PTR>(&bytes), 0);
  if (r != MMSYSERR_NOERROR || bytes == 0 || bytes > chars * sizeof(wchar_t)) return false;
  r = capture ? waveInMessage(reinterpret_cast<HWAVEIN>(d), DRV_QUERYFUNCTIONINSTANCEID,
                              reinterpret_cast<DWORD_PTR>(id), bytes)
              : waveOutMessage(reinterpret_cast<HWAVEOUT>(d), DRV_QUERYFUNCTIONINSTANCEID,
                               reinterpret_cast<DWORD_PTR>(id), bytes);
  id[chars - 1] = 0;
  return r == MMSYSERR_NOERROR;
}

static IMMDevice *endpoint(bool capture, int device, clientresult *result) {
  IMMDeviceEnumerator *e = nullptr;
  IMMDevice *d = nullptr;
  *result = CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                             reinterpret_cast<void **>(&e));
  if (FAILED(*result)) return nullptr;
  wchar_t id[512];
  if (device < 0)
    *result = e->GetDefaultAudioEndpoint(capture ? eCapture : eRender, eConsole, &d);
  else if (waveendpointid(capture, device, id, sizeof id / sizeof id[0]))
    *result = e->GetDevice(id, &d);
  else
    *result = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
  e->Release();
  return SUCCEEDED(*result) ? d : nullptr;
}

// Shared mode in our own format: the platform converts where its mix format
// differs. Systems that do not know the conversion flags get the plain call.
static HRESULT initialize(IMMDevice *d, IAudioClient *&c, int frames, HANDLE event) {
  WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, samplerate, 4 * samplerate, 4, 16, 0};
  const REFERENCE_TIME duration = static_cast<REFERENCE_TIME>(frames) * 10000000 / samplerate;
  const DWORD flags = event ? AUDCLNT_STREAMFLAGS_EVENTCALLBACK : 0;
  const DWORD convert = AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
  HRESULT hr = d->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void **>(&c));
  if (FAILED(hr)) return hr;
  hr = c->Initialize(AUDCLNT_SHAREMODE_SHARED, flags | convert, duration, 0, &f, nullptr);
  // Only a system that does not know the flags refuses them as an invalid
  // argument; any other refusal (the device in use, gone) is the answer.
  if (hr == E_INVALIDARG) {
    release(c);  // a client that refused once cannot be initialised again
    hr = d->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void **>(&c));
    if (SUCCEEDED(hr)) hr = c->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, duration, 0, &f, nullptr);
  }
  if (SUCCEEDED(hr) && event) hr = c->SetEventHandle(event);
  return hr;
}

static ClientStream *platformopen(bool capture, int device, int frames, void *event, clientresult *result) {
  IMMDevice *d = endpoint(capture, device, result);
  if (!d) return nullptr;
  ClientStream *s = new (std::nothrow) ClientStream{};
  if (!s) {
    d->Release();
    *result = E_OUTOFMEMORY;
    return nullptr;
  }
  HRESULT hr = initialize(d, s->client, frames, event);
  d->Release();
  if (SUCCEEDED(hr))
    hr = capture ? s->client->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void **>(&s->capture))
                 : s->client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void **>(&s->render));
  *result = hr;
  if (FAILED(hr)) {
    release(s->client);
    delete s;
    return nullptr;
  }
  return s;
}

static void platformclose(ClientStream *s) {
  if (!s) return;
  release(s->capture);
  release(s->render);
  release(s->client);
  delete s;
}

static clientresult platformstart(ClientStream *s) { return s->client->Start(); }
static clientresult platformstop(ClientStream *s) { return s->client->Stop(); }

static clientresult platformpacket(ClientStream *s, ClientPacket *p) {
  DWORD flags = 0;
  UINT32 frames = 0;
  UINT64 position = 0;
  HRESULT hr = s->capture->GetBuffer(&s->packetdata, &frames, &flags, &position, nullptr);
  if (hr == AUDCLNT_S_BUFFER_EMPTY || FAILED(hr)) frames = 0;
  p->samples = reinterpret_cast<const int16_t *>(s->packetdata);
  p->frames = frames;
  p->silent = (flags & AUDCLNT_BUFFERFLAGS_SILENT) != 0;
  p->discontinuity = (flags & AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY) != 0;
  p->position = position;
  return hr;
}

static clientresult platformrelease(ClientStream *s, uint32_t frames) { return s->capture->ReleaseBuffer(frames); }

static clientresult platformpadding(ClientStream *s, uint32_t *frames) {
  UINT32 n = 0;
  const HRESULT hr = s->client->GetCurrentPadding(&n);
  *frames = n;
  return hr;
}

static clientresult platformwrite(ClientStream *s, const int16_t *samples, uint32_t frames) {
  BYTE *to = nullptr;
  HRESULT hr = s->render->GetBuffer(frames, &to);
  if (FAILED(hr)) return hr;
  CopyMemory(to, samples, 4 * static_cast<size_t>(frames));
  return s->render->ReleaseBuffer(frames, 0);
}

static bool platformthreadbegin() { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
static void platformthreadend() { CoUninitialize(); }
static void platformraise() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL); }

static void *platformnewevent(bool manualreset) { return CreateEventA(nullptr, manualreset, FALSE, nullptr); }
static void platformsetevent(void *event) { SetEvent(event); }
static bool platformwait(void *h, int ms) {
  return WaitForSingleObject(h, ms < 0 ? INFINITE : static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}
static void platformclosehandle(void *h) { CloseHandle(h); }

struct ThreadStart {
  void (*body)(void *);
  void *arg;
};

static DWORD WINAPI threadtrampoline(void *p) {
  const ThreadStart start = *static_cast<ThreadStart *>(p);
  delete static_cast<ThreadStart *>(p);
  start.body(start.arg);
  return 0;
}

static void *platformstartthread(void (*body)(void *), void *arg) {
  ThreadStart *start = new (std::nothrow) ThreadStart{body, arg};
  if (!start) return nullptr;
  HANDLE h = CreateThread(nullptr, 0, threadtrampoline, start, 0, nullptr);
  if (!h) delete start;
  return h;
}

ClientApi platformclientapi() {
  ClientApi a;
  a.threadbegin = platformthreadbegin;
  a.threadend = platformthreadend;
  a.open = platformopen;
  a.close = platformclose;
  a.start = platformstart;
  a.stop = platformstop;
  a.packet = platformpacket;
  a.release = platformrelease;
  a.padding = platformpadding;
  a.write = platformwrite;
  a.raisethread = platformraise;
  a.newevent = platformnewevent;
  a.setevent = platformsetevent;
  a.wait = platformwait;
  a.closehandle = platformclosehandle;
  a.startthread = platformstartthread;
  return a;
}

ClientApi clientapi = platformclientapi();
