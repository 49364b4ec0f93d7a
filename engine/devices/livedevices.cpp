// livedevices.cpp: the two back ends' tables, and the calls that go through
// the chosen one.
#include "engine/devices/livedevices.h"

#include <cstring>

namespace {

void waveopenplayback(LiveDevices &d, int device) { createwaveout(d.waveout, device); }
void waveopencapture(LiveDevices &d, int device) { createwavein(d.wavein, device); }
void waveclosecapture(LiveDevices &d) { destroywavein(d.wavein); }
void waveclosplayback(LiveDevices &d) { destroywaveout(d.waveout); }
bool wavecaptureopen(const LiveDevices &d) { return d.wavein.open == 1; }
bool waveplaybackopen(const LiveDevices &d) { return d.waveout.open == 1; }
const char *wavecapturename(const LiveDevices &d) { return d.wavein.caps.szPname; }
const char *waveplaybackname(const LiveDevices &d) { return d.waveout.caps.szPname; }
const int16_t *waveplaybackbuffer(const LiveDevices &d, int i) {
  return d.waveout.open == 1 && d.waveout.headers ? d.waveout.data[i] : nullptr;
}
int waveplaybackframes(const LiveDevices &d) { return d.waveout.blockframes; }

void clientopenplayback(LiveDevices &d, int device) { createclientplayback(d.clientout, device); }
void clientopencapture(LiveDevices &d, int device) { createclientcapture(d.clientin, device); }
void clientclosecapture(LiveDevices &d) { destroyclientcapture(d.clientin); }
void clientcloseplayback(LiveDevices &d) { destroyclientplayback(d.clientout); }
bool clientcaptureisopen(const LiveDevices &d) { return clientcaptureopen(d.clientin) == 1; }
bool clientplaybackisopen(const LiveDevices &d) { return clientplaybackopen(d.clientout) == 1; }
const char *clientcapturename(const LiveDevices &d) { return d.clientin.caps.szPname; }
const char *clientplaybackname(const LiveDevices &d) { return d.clientout.caps.szPname; }
const int16_t *clientplaybackbuffer(const LiveDevices &d, int i) {
  return clientplaybackopen(d.clientout) == 1 ? d.clientout.now->out.data[i] : nullptr;
}
int clientplaybackframes(const LiveDevices &d) { return d.clientout.now ? d.clientout.now->blockframes : 0; }

}  // namespace

const AudioBackend waveformbackend = {"waveform",         waveopenplayback,   waveopencapture,
                                      waveclosecapture,   waveclosplayback,   wavecaptureopen,
                                      waveplaybackopen,   wavecapturename,    waveplaybackname,
                                      waveplaybackbuffer, waveplaybackframes};

const AudioBackend clientbackend = {"wasapi",             clientopenplayback,   clientopencapture,
                                    clientclosecapture,   clientcloseplayback,  clientcaptureisopen,
                                    clientplaybackisopen, clientcapturename,    clientplaybackname,
                                    clientplaybackbuffer, clientplaybackframes};

bool audiobackendnamed(const char *name, const AudioBackend *&backend) {
  for (const AudioBackend *b : {&waveformbackend, &clientbackend})
    if (std::strcmp(name, b->name) == 0) {
      backend = b;
      return true;
    }
  return false;
}

const char *audiobackendname(const AudioBackend *backend) { return backend->name; }

void openplayback(LiveDevices &d, int device) { d.backend->openplayback(d, device); }
void opencapture(LiveDevices &d, int device) { d.backend->opencapture(d, device); }
void closecapture(LiveDevices &d) { d.backend->closecapture(d); }
void closeplayback(LiveDevices &d) { d.backend->closeplayback(d); }
bool captureisopen(const LiveDevices &d) { return d.backend->captureisopen(d); }
bool playbackisopen(const LiveDevices &d) { return d.backend->playbackisopen(d); }
const char *capturename(const LiveDevices &d) { return d.backend->capturename(d); }
const char *playbackname(const LiveDevices &d) { return d.backend->playbackname(d); }

const int16_t *playbackbuffer(const LiveDevices &d, int i) {
  return i < 0 || i >= wavebuffercount ? nullptr : d.backend->playbackbuffer(d, i);
}

int playbackframes(const LiveDevices &d) { return d.backend->playbackframes(d); }
