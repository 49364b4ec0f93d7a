// fakewave.cpp: the fake waveform table of fakewave.h.
#include "fakewave.h"

#include <algorithm>

FakeWave fake;

static const HWAVEIN fakein = reinterpret_cast<HWAVEIN>(0x51);
static const HWAVEOUT fakeout = reinterpret_cast<HWAVEOUT>(0x52);
static DWORD_PTR incallback, outcallback, ininstance, outinstance;

static MMRESULT nextof(std::deque<MMRESULT> &answers) {
  if (answers.empty()) return 0;
  MMRESULT r = answers.front();
  answers.pop_front();
  return r;
}

static std::string withindex(const char *name, const WAVEHDR *h) {
  return std::string(name) + " " + std::to_string(static_cast<int>(h->dwUser));
}

static MMRESULT WINAPI fincaps(UINT_PTR, LPWAVEINCAPSA, UINT) {
  fake.log.push_back("incaps");
  return fake.capsresult;
}
static MMRESULT WINAPI foutcaps(UINT_PTR, LPWAVEOUTCAPSA, UINT) {
  fake.log.push_back("outcaps");
  return fake.capsresult;
}

static MMRESULT WINAPI finopen(LPHWAVEIN h, UINT device, LPCWAVEFORMATEX f, DWORD_PTR cb, DWORD_PTR inst, DWORD mode) {
  fake.log.push_back("inopen");
  fake.opendevice = device, fake.openformat = *f, fake.openmode = mode, fake.openinstance = inst;
  if (fake.openresult != 0) return fake.openresult;
  *h = fakein;
  incallback = cb, ininstance = inst;
  if (fake.openevent) reinterpret_cast<LPDRVCALLBACK>(cb)(reinterpret_cast<HDRVR>(fakein), waveinopenevent, inst, 0, 0);
  return 0;
}
static MMRESULT WINAPI foutopen(LPHWAVEOUT h, UINT device, LPCWAVEFORMATEX f, DWORD_PTR cb, DWORD_PTR inst, DWORD mode) {
  fake.log.push_back("outopen");
  fake.opendevice = device, fake.openformat = *f, fake.openmode = mode, fake.openinstance = inst;
  if (fake.openresult != 0) return fake.openresult;
  *h = fakeout;
  outcallback = cb, outinstance = inst;
  if (fake.openevent) reinterpret_cast<LPDRVCALLBACK>(cb)(reinterpret_cast<HDRVR>(fakeout), waveoutopenevent, inst, 0, 0);
  return 0;
}

static MMRESULT WINAPI finprepare(HWAVEIN, LPWAVEHDR h, UINT) {
  fake.log.push_back(withindex("inprepare", h));
  return nextof(fake.inprepareanswers);
}
static MMRESULT WINAPI finunprepare(HWAVEIN, LPWAVEHDR h, UINT) {
  fake.log.push_back(withindex("inunprepare", h));
  return fake.unprepareresult;
}
static MMRESULT WINAPI finadd(HWAVEIN, LPWAVEHDR h, UINT) {
  fake.log.push_back(withindex("inaddbuffer", h));
  return 0;
}
static MMRESULT WINAPI finstart(HWAVEIN) {
  fake.log.push_back("instart");
  return fake.startresult;
}
static MMRESULT WINAPI finreset(HWAVEIN) {
  fake.log.push_back("inreset");
  if (fake.runningatreset < 0)
    fake.runningatreset = reinterpret_cast<WAVEIN_DEVICE *>(ininstance)->running;
  return 0;
}
static MMRESULT WINAPI finstop(HWAVEIN) {
  fake.log.push_back("instop");
  return 0;
}
static MMRESULT WINAPI finclose(HWAVEIN h) {
  fake.log.push_back("inclose");
  MMRESULT r = nextof(fake.closeanswers);
  if (r == 0) reinterpret_cast<LPDRVCALLBACK>(incallback)(reinterpret_cast<HDRVR>(h), waveincloseevent, ininstance, 0, 0);
  return r;
}

static MMRESULT WINAPI foutprepare(HWAVEOUT, LPWAVEHDR h, UINT) {
  fake.log.push_back(withindex("outprepare", h));
  return nextof(fake.outprepareanswers);
}
static MMRESULT WINAPI foutunprepare(HWAVEOUT, LPWAVEHDR h, UINT) {
  fake.log.push_back(withindex("outunprepare", h));
  return fake.unprepareresult;
}
static MMRESULT WINAPI foutwrite(HWAVEOUT, LPWAVEHDR h, UINT) {
  fake.log.push_back(withindex("outwrite", h));
  if (fake.writeresult == 0) ++fake.writes;
  return fake.writeresult;
}
static MMRESULT WINAPI foutreset(HWAVEOUT) {
  fake.log.push_back("outreset");
  if (fake.runningatreset < 0)
    fake.runningatreset = reinterpret_cast<waveout_DEVICE *>(outinstance)->running;
  fake.portatreset = engineplayback.load() != nullptr;
  return 0;
}
static MMRESULT WINAPI foutclose(HWAVEOUT h) {
  fake.log.push_back("outclose");
  MMRESULT r = nextof(fake.closeanswers);
  if (r == 0) reinterpret_cast<LPDRVCALLBACK>(outcallback)(reinterpret_cast<HDRVR>(h), waveoutcloseevent, outinstance, 0, 0);
  return r;
}

static void fsleep(int ms) { fake.log.push_back("sleep" + std::to_string(ms)); }
static void fscan() { fake.log.push_back("scan"); }

void fakewavereset() {
  fake = FakeWave{};
  WaveApi a;
  a.incaps = fincaps, a.inopen = finopen, a.inprepare = finprepare, a.inunprepare = finunprepare;
  a.inaddbuffer = finadd, a.instart = finstart, a.inreset = finreset, a.instop = finstop;
  a.inclose = finclose;
  a.outcaps = foutcaps, a.outopen = foutopen, a.outprepare = foutprepare;
  a.outunprepare = foutunprepare, a.outwrite = foutwrite, a.outreset = foutreset;
  a.outclose = foutclose;
  a.sleepms = fsleep;
  waveapi = a;
  guiscanhook = fscan;
}

void fakewaverestore() {
  waveapi = platformwaveapi();
  guiscanhook = dispatchpendingmessages;
}

int logindex(const std::string &text) {
  auto it = std::find(fake.log.begin(), fake.log.end(), text);
  return it == fake.log.end() ? -1 : static_cast<int>(it - fake.log.begin());
}

int logcount(const std::string &text) {
  return static_cast<int>(std::count(fake.log.begin(), fake.log.end(), text));
}
