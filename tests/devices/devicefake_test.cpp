// The device objects against a fake waveform table (no sound card): the flow of
// blocks from capture through the chain to playback, errors, and closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>
#include <xmmintrin.h>

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
  return note(call + (" " + std::to_string(h->dwUser)), answer);
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

int count(const std::string &call) { return static_cast<int>(std::count(fake.log.begin(), fake.log.end(), call)); }
int at(const std::string &call) {
  return static_cast<int>(std::find(fake.log.begin(), fake.log.end(), call) - fake.log.begin());
}

class Devices : public ::testing::Test {
 protected:
  WAVEIN_DEVICE in{};
  waveout_DEVICE out{};
  void SetUp() override {
    engineinit();
    engine.buffersize = 100;
    engineclock.now = [] { return 1000.0; };
    enginedevicesopened(0.0);  // long past the start-up silence
    installfake();
  }
  void TearDown() override {
    destroywavein(in);
    destroywaveout(out);
    waveapi = platformwaveapi();
    guiscanhook = dispatchpendingmessages;
  }
  void openboth() {
    createwaveout(out, 0);
    createwavein(in, 0);
    fake.log.clear();
  }
  // The platform hands back capture buffer i holding `bytes` bytes of value v.
  void record(int i, DWORD bytes, int16_t v = 1000) {
    WAVEHDR *h = in.headers[i];
    std::fill_n(reinterpret_cast<int16_t *>(h->lpData), bytes / 2, v);
    h->dwBytesRecorded = bytes;
    waveincallback(nullptr, waveindataevent, reinterpret_cast<DWORD_PTR>(&in), reinterpret_cast<DWORD_PTR>(h), 0);
  }
  int busy() { return static_cast<int>(std::count_if(out.busy, out.busy + 6, [](auto &b) { return b != 0; })); }
};

TEST_F(Devices, MinusOneIsTheDefaultAMissingOrSilentDeviceLeavesTheObjectClosed) {
  createwaveout(out, -1);
  EXPECT_EQ(fake.device, WAVE_MAPPER);
  destroywaveout(out), fake.log.clear();
  fake.caps = MMSYSERR_BADDEVICEID;
  createwaveout(out, 7);
  createwavein(in, 7);
  EXPECT_EQ(count("inopen") + count("outopen"), 0);
  fake.caps = 0, fake.openevent = false;  // opened, but the open event never came
  createwavein(in, 7);
  EXPECT_EQ(count("inclose"), 1) << "a handle without its open event is given back";
  EXPECT_EQ(in.open + out.open, 0);
  EXPECT_EQ(in.headers, nullptr);
  EXPECT_EQ(in.copybuffer, nullptr);
  EXPECT_EQ(out.headers, nullptr);
  EXPECT_EQ(engineplayback.load(), nullptr);
  fake.log.clear();
  destroywavein(in);
  destroywaveout(out);
  EXPECT_TRUE(fake.log.empty()) << "closing a closed object touches nothing";
}

TEST_F(Devices, FilledBufferIsProcessedIntoPlaybackBeforeItIsHandedBackAnEmptyOneOnlyHandedBack) {
  openboth();
  const unsigned int saved = _mm_getcsr();
  _mm_setcsr(saved & ~0x8040u);
  record(2, 4 * 60, 1234);  // 60 frames
  const unsigned int csr = _mm_getcsr();
  _mm_setcsr(saved);
  EXPECT_EQ(csr & 0x8040u, 0x8040u) << "the audio thread flushes subnormals to zero";
  EXPECT_EQ(capturedcount.load(), 120);
  EXPECT_EQ(capturedblock.load()[119], 1234);
  ASSERT_EQ(fake.writes, 1);
  const int written = static_cast<int>(std::find_if(fake.log.begin(), fake.log.end(), [](auto &s) {
                                          return s.rfind("outwrite", 0) == 0;
                                        }) - fake.log.begin());
  EXPECT_LT(at("inunprepare 2"), written);
  EXPECT_LT(written, at("inprepare 2"));
  EXPECT_LT(at("inprepare 2"), at("inaddbuffer 2"));
  EXPECT_EQ(in.headers[2]->dwBytesRecorded, 0u);
  record(4, 0);
  EXPECT_EQ(fake.writes, 1);
  EXPECT_EQ(count("inaddbuffer 4"), 1);
}

TEST_F(Devices, CaptureWithoutPlaybackDropsEveryBlockACaptureErrorStopsTheFlow) {
  createwavein(in, 0);
  for (int i = 0; i < 6; ++i) record(i, 400);
  EXPECT_EQ(fake.writes, 0);
  EXPECT_EQ(in.running, 1);
  fake.log.clear();
  fake.inprepare = {MMSYSERR_NOMEM};  // handing buffer 1 back fails
  record(1, 400);
  EXPECT_EQ(in.running, 0);
  EXPECT_EQ(count("inaddbuffer 1"), 0);
  fake.log.clear();
  record(3, 400);
  EXPECT_TRUE(fake.log.empty()) << "later buffers are left alone";
}

TEST_F(Devices, NeverMoreThanTwoBlocksQueuedAndAPlayedBufferIsFreeAgain) {
  openboth();
  for (int i = 0; i < 6; ++i) record(i, 400);
  EXPECT_EQ(fake.writes, 2);
  EXPECT_EQ(busy(), 2);
  const int first = static_cast<int>(std::find_if(out.busy, out.busy + 6, [](auto &b) { return b != 0; }) - out.busy);
  waveoutcallback(nullptr, waveoutdoneevent, reinterpret_cast<DWORD_PTR>(&out),
                  reinterpret_cast<DWORD_PTR>(out.headers[first]), 0);
  EXPECT_EQ(out.busy[first], 0);
  record(0, 400);
  record(1, 400);
  EXPECT_EQ(fake.writes, 3);
}

TEST_F(Devices, RefusedWriteGivesItsBufferBackInsteadOfLosingIt) {
  openboth();
  fake.write = MMSYSERR_ERROR;
  for (int i = 0; i < 6; ++i) record(i, 400);
  EXPECT_EQ(busy(), 0);
  EXPECT_EQ(out.running, 0);
}

TEST_F(Devices, ClosingStopsTheFlowWaitsThenFreesInOrder) {
  openboth();
  destroywavein(in);
  const std::vector<std::string> capture = {
      "scan", "sleep100", "inreset", "instop", "scan", "sleep100", "inunprepare 0", "inunprepare 1",
      "inunprepare 2", "inunprepare 3", "inunprepare 4", "inunprepare 5", "inclose"};
  EXPECT_EQ(fake.log, capture);
  EXPECT_EQ(capturedblock.load(), nullptr);
  fake.log.clear();
  destroywaveout(out);
  EXPECT_FALSE(fake.portatreset) << "processblock could still reach buffers about to be freed";
  EXPECT_EQ(fake.log.front(), "scan");
  EXPECT_EQ(fake.log.back(), "outclose");
  EXPECT_EQ(count("outunprepare 5"), 1);
}

TEST_F(Devices, CloseAnswered33IsRetriedEvery50msAtMost100Times) {
  openboth();
  fake.close = {33, 33, 33};
  destroywavein(in);
  EXPECT_EQ(count("inclose"), 4);
  EXPECT_EQ(count("sleep50"), 3);
  EXPECT_EQ(in.open, 0);
  fake.log.clear();
  fake.close.assign(500, 33);
  destroywaveout(out);
  EXPECT_EQ(count("outclose"), 101);
  EXPECT_EQ(count("sleep50"), 100);
  fake.close = {MMSYSERR_INVALHANDLE};  // other answers are not retried
  createwavein(in, 0);
  fake.log.clear();
  destroywavein(in);
  EXPECT_EQ(count("inclose"), 1);
}

}  // namespace
