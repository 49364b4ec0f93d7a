// roomcaster_live's audio cycle against a fake waveform table: which device
// number is opened, the order and pauses of opening (gain held down while the
// capture side starts) and of closing (blocks dropped, capture before playback),
// and the opening thread's float mode, which the device events must not change.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include "app/audiocycle/audiocycle.h"
#include "wavefake.h"

namespace {

std::vector<std::string> calls;  // "outopen", "sleep500", "scan", "inopen gain=0.01", ...
int quitwhenfirstscanned = -1;   // engine.quitrequest at the first message pass

void called(const std::string &s) { calls.push_back(s); }

// The close event arrives during the close call, as the open event during the open.
MMRESULT fakeclose(bool playback) {
  called(playback ? "outclose" : "inclose");
  reinterpret_cast<LPDRVCALLBACK>(callbackof[playback])(nullptr, playback ? waveoutcloseevent : waveincloseevent,
                                                        instanceof[playback], 0, 0);
  return 0;
}

template <typename H>
MMRESULT fakeopen(bool playback, H *h, DWORD_PTR cb, DWORD_PTR instance) {
  called(std::string(playback ? "outopen" : "inopen") + (engine.gain.load() == 0.01f ? " gain=0.01" : ""));
  *h = reinterpret_cast<H>(0x60 + playback);
  callbackof[playback] = cb, instanceof[playback] = instance;
  reinterpret_cast<LPDRVCALLBACK>(cb)(nullptr, playback ? waveoutopenevent : waveinopenevent, instance, 0, 0);
  return 0;
}

class LiveCycle : public ::testing::Test {
 protected:
  LiveDevices devices;  // the waveform back end, the programs' default
  WAVEIN_DEVICE &in = devices.wavein;
  waveout_DEVICE &out = devices.waveout;
  void SetUp() override {
    engineinit();
    engine.buffersize = 100;
    engineclock.now = [] { return 1234.5; };
    calls.clear();
    quitwhenfirstscanned = -1;
    installfake();  // answers all but these, which note what the cycle asks
    WaveApi &a = waveapi;
    a.inopen = [](LPHWAVEIN h, UINT, LPCWAVEFORMATEX, DWORD_PTR cb, DWORD_PTR i, DWORD) { return fakeopen(false, h, cb, i); };
    a.outopen = [](LPHWAVEOUT h, UINT, LPCWAVEFORMATEX, DWORD_PTR cb, DWORD_PTR i, DWORD) { return fakeopen(true, h, cb, i); };
    a.instart = [](HWAVEIN) -> MMRESULT { return called("instart"), 0; };
    a.inreset = [](HWAVEIN) -> MMRESULT { return called("inreset"), 0; };
    a.inclose = [](HWAVEIN) { return fakeclose(false); };
    a.outreset = [](HWAVEOUT) -> MMRESULT { return called("outreset"), 0; };
    a.outclose = [](HWAVEOUT) { return fakeclose(true); };
    a.sleepms = [](int ms) { called("sleep" + std::to_string(ms)); };
    guiscanhook = [] {
      if (quitwhenfirstscanned < 0) quitwhenfirstscanned = engine.quitrequest.load();
      called("scan");
    };
  }
  void TearDown() override {
    destroywavein(in);
    destroywaveout(out);
    waveapi = platformwaveapi();
    guiscanhook = dispatchpendingmessages;
  }
  int first(const std::string &call) { return static_cast<int>(std::find(calls.begin(), calls.end(), call) - calls.begin()); }
  // The calls from index `from` on, `n` of them.
  std::vector<std::string> span(int from, int n) {
    return std::vector<std::string>(calls.begin() + from, calls.begin() + std::min<int>(from + n, calls.size()));
  }
};

TEST(LiveDevices, NumbersThePlatformDoesNotListBecomeTheDefault) {
  EXPECT_EQ(offereddevice(1, 2), 1);
  EXPECT_EQ(offereddevice(2, 2), -1);  // "not below the count"
  EXPECT_EQ(offereddevice(0, 0), -1);  // no devices at all
  EXPECT_EQ(offereddevice(-1, 5), -1);
  EXPECT_EQ(offereddevice(29, 40), 29);
  EXPECT_EQ(offereddevice(30, 40), -1);  // only the first 30 are listed
}

TEST_F(LiveCycle, OpensPlaybackThenCaptureWithTheGainHeldDown) {
  engine.gain = 2.5f;
  engine.quitrequest = 1;  // left over from an earlier cycle
  openaudiocycle(devices, 0, 0);
  const std::vector<std::string> expected = {"outopen", "sleep500", "inopen gain=0.01", "instart", "sleep500"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(engine.gain.load(), 2.5f);
  EXPECT_EQ(engine.quitrequest.load(), 0);
  EXPECT_EQ(engine.starttime.load(), 1234.5);
  EXPECT_EQ(engine.inputmode.load() + engine.outputmode.load(), 2);
  EXPECT_EQ(engine.autolevel.load(), 0.01f);
  EXPECT_EQ(engine.vupeak.load(), 1.0f);
  EXPECT_EQ(in.running + out.running, 2);
}

TEST_F(LiveCycle, ClosesWithBlocksDroppedCaptureFirstThenLetsMessagesRun) {
  openaudiocycle(devices, 0, 0);
  calls.clear();
  closeaudiocycle(devices);
  EXPECT_EQ(quitwhenfirstscanned, 1) << "blocks must be dropped before the devices close";
  std::vector<std::string> tenpasses;
  for (int i = 0; i < 10; ++i) tenpasses.insert(tenpasses.end(), {"scan", "sleep10"});
  EXPECT_EQ(span(0, 20), tenpasses);
  const int inclose = first("inclose"), outreset = first("outreset"), outclose = first("outclose");
  ASSERT_LT(outclose, static_cast<int>(calls.size()));
  EXPECT_LT(inclose, outreset);
  EXPECT_EQ(calls[inclose + 1], "sleep100");  // between the two devices
  EXPECT_EQ(calls[outclose + 1], "sleep100");
  std::vector<std::string> fiftypasses;
  for (int i = 0; i < 50; ++i) fiftypasses.insert(fiftypasses.end(), {"scan", "sleep10"});
  EXPECT_EQ(span(outclose + 2, 1000), fiftypasses);
  EXPECT_EQ(in.open + out.open, 0);
  EXPECT_TRUE(in.headers == nullptr && out.headers == nullptr && in.copybuffer == nullptr);
  EXPECT_EQ(engineplayback.load(), nullptr);
}

// The open and close events run on the thread that opens and closes, which is
// the user-interface thread: only the audio thread may flush subnormals to zero.
TEST_F(LiveCycle, OpeningAndClosingLeaveTheCallersFloatModeAlone) {
  const unsigned int saved = _mm_getcsr();
  _mm_setcsr(saved & ~0x8040u);
  openaudiocycle(devices, 0, 0);
  closeaudiocycle(devices);
  const unsigned int csr = _mm_getcsr();
  _mm_setcsr(saved);
  EXPECT_EQ(csr & 0x8040u, 0u);
}

}  // namespace
