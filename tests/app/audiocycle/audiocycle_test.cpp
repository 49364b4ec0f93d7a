// roomcaster_live's audio cycle against a fake waveform table: which device
// number is opened, the order and pauses of opening (gain held down while the
// capture side starts) and of closing (blocks dropped, capture before playback),
// and the opening thread's float mode, which the device events must not change.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include "app/audiocycle/audiocycle.h"
#include "tests/engine/devices/wavefake.h"

namespace {

int quitwhenfirstscanned = -1;  // engine.quitrequest at the first message pass

class LiveCycle : public WaveDevices {
 protected:
  LiveDevices devices;  // the waveform back end, the programs' default
  void SetUp() override {
    WaveDevices::SetUp();
    fakenow = 1234.5;
    quitwhenfirstscanned = -1;
    waveapi.inopen = [](LPHWAVEIN h, UINT d, LPCWAVEFORMATEX, DWORD_PTR cb, DWORD_PTR i, DWORD) {
      if (engine.gain.load() == 0.01f) note("gain=0.01");
      return open(0, h, d, cb, i);
    };
    guiscanhook = [] {
      if (quitwhenfirstscanned < 0) quitwhenfirstscanned = engine.quitrequest.load();
      note("scan");
    };
  }
  void TearDown() override {
    destroywavein(devices.wavein);
    destroywaveout(devices.waveout);
    WaveDevices::TearDown();
  }
  // The calls from index `from` on, `n` of them.
  std::vector<std::string> span(int from, int n) {
    return std::vector<std::string>(fake.log.begin() + from,
                                    fake.log.begin() + std::min<int>(from + n, fake.log.size()));
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
  std::erase_if(fake.log, [](const std::string &s) { return s.ends_with("caps") || s.find(' ') != s.npos; });
  const std::vector<std::string> expected = {"outopen", "sleep500", "gain=0.01", "inopen", "instart", "sleep500"};
  EXPECT_EQ(fake.log, expected) << "buffer calls and device queries left out";
  EXPECT_EQ(engine.gain.load(), 2.5f);
  EXPECT_EQ(engine.quitrequest.load(), 0);
  EXPECT_EQ(engine.starttime.load(), 1234.5);
  EXPECT_EQ(engine.inputmode.load() + engine.outputmode.load(), 2);
  EXPECT_EQ(engine.autolevel.load(), 0.01f);
  EXPECT_EQ(engine.vupeak.load(), 1.0f);
  EXPECT_EQ(devices.wavein.running + devices.waveout.running, 2);
}

TEST_F(LiveCycle, ClosesWithBlocksDroppedCaptureFirstThenLetsMessagesRun) {
  openaudiocycle(devices, 0, 0);
  fake.log.clear();
  closeaudiocycle(devices);
  EXPECT_EQ(quitwhenfirstscanned, 1) << "blocks must be dropped before the devices close";
  std::vector<std::string> tenpasses;
  for (int i = 0; i < 10; ++i) tenpasses.insert(tenpasses.end(), {"scan", "sleep10"});
  EXPECT_EQ(span(0, 20), tenpasses);
  const int inclose = at("inclose"), outreset = at("outreset"), outclose = at("outclose");
  ASSERT_LT(outclose, static_cast<int>(fake.log.size()));
  EXPECT_LT(inclose, outreset);
  EXPECT_EQ(fake.log[inclose + 1], "sleep100");  // between the two devices
  EXPECT_EQ(fake.log[outclose + 1], "sleep100");
  std::vector<std::string> fiftypasses;
  for (int i = 0; i < 50; ++i) fiftypasses.insert(fiftypasses.end(), {"scan", "sleep10"});
  EXPECT_EQ(span(outclose + 2, 1000), fiftypasses);
  EXPECT_EQ(devices.wavein.open + devices.waveout.open, 0);
  EXPECT_TRUE(devices.wavein.headers == nullptr && devices.waveout.headers == nullptr);
  EXPECT_EQ(devices.wavein.copybuffer, nullptr);
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
