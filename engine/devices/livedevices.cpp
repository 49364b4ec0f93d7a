// livedevices.cpp: the chosen back end's devices behind one set of calls.
#include "engine/devices/livedevices.h"

#include <cstring>

bool audiobackendnamed(const char *name, AudioBackend &backend) {
  if (std::strcmp(name, "waveform") == 0) backend = AudioBackend::waveform;
  else if (std::strcmp(name, "wasapi") == 0) backend = AudioBackend::client;
  else return false;
  return true;
}

const char *audiobackendname(AudioBackend backend) {
  return backend == AudioBackend::client ? "wasapi" : "waveform";
}

void openplayback(LiveDevices &d, int device) {
  if (d.backend == AudioBackend::client) createclientplayback(d.clientout, device);
  else createwaveout(d.waveout, device);
}

void opencapture(LiveDevices &d, int device) {
  if (d.backend == AudioBackend::client) createclientcapture(d.clientin, device);
  else createwavein(d.wavein, device);
}

void closecapture(LiveDevices &d) {
  if (d.backend == AudioBackend::client) destroyclientcapture(d.clientin);
  else destroywavein(d.wavein);
}

void closeplayback(LiveDevices &d) {
  if (d.backend == AudioBackend::client) destroyclientplayback(d.clientout);
  else destroywaveout(d.waveout);
}

bool captureisopen(const LiveDevices &d) {
  return d.backend == AudioBackend::client ? d.clientin.t.open == 1 : d.wavein.open == 1;
}

bool playbackisopen(const LiveDevices &d) {
  return d.backend == AudioBackend::client ? d.clientout.t.open == 1 : d.waveout.open == 1;
}

const char *capturename(const LiveDevices &d) {
  return d.backend == AudioBackend::client ? d.clientin.caps.szPname : d.wavein.caps.szPname;
}

const char *playbackname(const LiveDevices &d) {
  return d.backend == AudioBackend::client ? d.clientout.caps.szPname : d.waveout.caps.szPname;
}

const int16_t *playbackbuffer(const LiveDevices &d, int i) {
  if (i < 0 || i >= wavebuffercount || !playbackisopen(d)) return nullptr;
  if (d.backend == AudioBackend::client) return d.clientout.storage ? d.clientout.blocks.data[i] : nullptr;
  return d.waveout.headers ? d.waveout.data[i] : nullptr;
}

int playbackframes(const LiveDevices &d) {
  return d.backend == AudioBackend::client ? d.clientout.t.blockframes : d.waveout.blockframes;
}
