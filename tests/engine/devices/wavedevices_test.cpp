// The device objects against a fake waveform table (no sound card): the flow of
// blocks from capture through the chain to playback, errors, and closing.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include "tests/engine/devices/wavefake.h"

namespace {

class Devices : public WaveDevices {
 protected:
  void SetUp() override {
    WaveDevices::SetUp();
    engine.buffersize = 100;  // 400-byte buffers
  }
  void openboth() {
    createwaveout(out, 0);
    createwavein(in, 0);
    fake.log.clear();
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
