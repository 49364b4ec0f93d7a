// wavefake.h: the device tests' fake waveform table (no sound card). Each test
// file that includes it gets its own copy (an unnamed namespace).
//   installfake();            // into waveapi and guiscanhook; fake reset
//   fake.log, count("inclose"), at("inprepare 2")
//   class T : public WaveDevices  // a capture and a playback object on the fake
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "engine/devices/wavedevices.h"

namespace {

// What the fake platform was asked, in order ("inprepare 2", "sleep100", ...),
// and how it answers. Open and close send their events during the call.
struct Fake {
  std::vector<std::string> log;
  MMRESULT caps = 0, write = 0;
  bool openevent = true;
  UINT device = 0;                      // device number of the last open
  std::deque<MMRESULT> close, inprepare;  // next answers, 0 when empty
  int writes = 0;                       // successful writes
  bool portatreset = true;              // processblock could still reach the buffers at reset
} fake;

DWORD_PTR callbackof[2], instanceof[2];  // [0] capture, [1] playback

MMRESULT next(std::deque<MMRESULT> &q) {
  MMRESULT r = q.empty() ? 0 : q.front();
  return q.empty() ? 0 : (q.pop_front(), r);
}
MMRESULT note(const std::string &call, MMRESULT answer = 0) { return fake.log.push_back(call), answer; }
MMRESULT note(const char *call, LPWAVEHDR h, MMRESULT answer = 0) {
  return note(std::string(call) + ' ' + std::to_string(h->dwUser), answer);
}
void event(int side, UINT code) {
  reinterpret_cast<LPDRVCALLBACK>(callbackof[side])(nullptr, code, instanceof[side], 0, 0);
}
template <typename H>
MMRESULT open(int side, H *h, UINT device, DWORD_PTR cb, DWORD_PTR inst) {
  note(side ? "outopen" : "inopen");
  fake.device = device, *h = reinterpret_cast<H>(0x50 + side), callbackof[side] = cb, instanceof[side] = inst;
  if (fake.openevent) event(side, side ? waveoutopenevent : waveinopenevent);
  return 0;
}
MMRESULT close(int side) {
  MMRESULT r = note(side ? "outclose" : "inclose", next(fake.close));
  if (r == 0) event(side, side ? waveoutcloseevent : waveincloseevent);
  return r;
}

void installfake() {
  fake = Fake{};
  WaveApi &a = waveapi;
  a.incaps = [](UINT_PTR, LPWAVEINCAPSA, UINT) { return note("incaps", fake.caps); };
  a.outcaps = [](UINT_PTR, LPWAVEOUTCAPSA, UINT) { return note("outcaps", fake.caps); };
  a.inopen = [](LPHWAVEIN h, UINT d, LPCWAVEFORMATEX, DWORD_PTR cb, DWORD_PTR i, DWORD) { return open(0, h, d, cb, i); };
  a.outopen = [](LPHWAVEOUT h, UINT d, LPCWAVEFORMATEX, DWORD_PTR cb, DWORD_PTR i, DWORD) { return open(1, h, d, cb, i); };
  a.inprepare = [](HWAVEIN, LPWAVEHDR h, UINT) { return note("inprepare", h, next(fake.inprepare)); };
  a.inunprepare = [](HWAVEIN, LPWAVEHDR h, UINT) { return note("inunprepare", h); };
  a.inaddbuffer = [](HWAVEIN, LPWAVEHDR h, UINT) { return note("inaddbuffer", h); };
  a.instart = [](HWAVEIN) { return note("instart"); };
  a.inreset = [](HWAVEIN) { return note("inreset"); };
  a.instop = [](HWAVEIN) { return note("instop"); };
  a.inclose = [](HWAVEIN) { return close(0); };
  a.outprepare = [](HWAVEOUT, LPWAVEHDR h, UINT) { return note("outprepare", h); };
  a.outunprepare = [](HWAVEOUT, LPWAVEHDR h, UINT) { return note("outunprepare", h); };
  a.outwrite = [](HWAVEOUT, LPWAVEHDR h, UINT) { return fake.writes += fake.write == 0, note("outwrite", h, fake.write); };
  a.outreset = [](HWAVEOUT) { return fake.portatreset = engineplayback.load() != nullptr, note("outreset"); };
  a.outclose = [](HWAVEOUT) { return close(1); };
  a.sleepms = [](int ms) { note("sleep" + std::to_string(ms)); };
  guiscanhook = [] { note("scan"); };
}

inline int count(const std::string &call) { return static_cast<int>(std::count(fake.log.begin(), fake.log.end(), call)); }
inline int at(const std::string &call) {
  return static_cast<int>(std::find(fake.log.begin(), fake.log.end(), call) - fake.log.begin());
}

double fakenow = 1000.0;  // the engine clock, seconds; a test may move it

// 441-frame blocks, the start-up silence long past; both objects closed and the
// platform's table back at the end.
class WaveDevices : public ::testing::Test {
 protected:
  WAVEIN_DEVICE in{};
  waveout_DEVICE out{};
  void SetUp() override {
    engineinit();
    engine.buffersize = 441;
    fakenow = 1000.0;
    engineclock.now = [] { return fakenow; };
    enginedevicesopened(0.0);
    installfake();
  }
  void TearDown() override {
    destroywavein(in);
    destroywaveout(out);
    waveapi = platformwaveapi();
    guiscanhook = dispatchpendingmessages;
    engineclock.now = nullptr;
  }
  // The platform hands back capture buffer n (mod 6) holding `bytes` bytes of value v.
  void record(int n, DWORD bytes, int16_t v = 1000) {
    WAVEHDR *h = in.headers[n % 6];
    std::fill_n(reinterpret_cast<int16_t *>(h->lpData), bytes / 2, v);
    h->dwBytesRecorded = bytes;
    waveincallback(nullptr, waveindataevent, reinterpret_cast<DWORD_PTR>(&in), reinterpret_cast<DWORD_PTR>(h), 0);
  }
  // Playback buffer i comes back played.
  void played(int i) {
    waveoutcallback(nullptr, waveoutdoneevent, reinterpret_cast<DWORD_PTR>(&out),
                    reinterpret_cast<DWORD_PTR>(out.headers[i]), 0);
  }
};

}  // namespace
