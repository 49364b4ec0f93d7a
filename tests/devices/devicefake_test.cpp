// The device objects against the fake waveform table: opening, the flow of
// blocks between capture, the chain and playback, errors, and the close order.
#include <gtest/gtest.h>

#include <cstring>
#include <xmmintrin.h>

#include "fakewave.h"

namespace {

constexpr int frames = 100;  // buffersize for these tests: 400 bytes a buffer

double fixedclock() { return 1000.0; }

class Devices : public ::testing::Test {
 protected:
  WAVEIN_DEVICE in{};
  waveout_DEVICE out{};

  void SetUp() override {
    engineinit();
    engine.buffersize = frames;
    engineclock.now = fixedclock;
    engineclock.streamclock = false;
    enginedevicesopened(0.0);  // starttime long past: no start-up silence
    fakewavereset();
  }
  void TearDown() override {
    destroywavein(in);
    destroywaveout(out);
    fakewaverestore();
    engineplayback = nullptr;
  }

  // The platform completes capture buffer i with `bytes` recorded bytes of value v.
  void record(int i, DWORD bytes, int16_t v = 1000) {
    WAVEHDR *h = in.headers[i];
    for (DWORD k = 0; k < bytes / 2; ++k) reinterpret_cast<int16_t *>(h->lpData)[k] = v;
    h->dwBytesRecorded = bytes;
    waveincallback(in.handle, waveindataevent, reinterpret_cast<DWORD_PTR>(&in),
                   reinterpret_cast<DWORD_PTR>(h), 0);
  }
  // The platform reports playback buffer i played.
  void played(int i) {
    waveoutcallback(out.handle, waveoutdoneevent, reinterpret_cast<DWORD_PTR>(&out),
                    reinterpret_cast<DWORD_PTR>(out.headers[i]), 0);
  }
  int busycount() {
    int n = 0;
    for (auto &b : out.busy) n += b.load() != 0;
    return n;
  }
};

// ---- opening ---------------------------------------------------------------

TEST_F(Devices, MissingDeviceLeavesBothObjectsClosedWithNothingAllocated) {
  fake.capsresult = MMSYSERR_BADDEVICEID;
  createwaveout(out, 7);
  createwavein(in, 7);
  EXPECT_EQ(out.open, 0);
  EXPECT_EQ(in.open, 0);
  EXPECT_EQ(out.headers, nullptr);
  EXPECT_EQ(in.headers, nullptr);
  EXPECT_EQ(in.copybuffer, nullptr);
  EXPECT_EQ(engineplayback.load(), nullptr);
  EXPECT_EQ(logindex("inopen"), -1);
  EXPECT_EQ(logindex("outopen"), -1);
  fake.log.clear();
  destroywavein(in);
  destroywaveout(out);
  EXPECT_TRUE(fake.log.empty()) << "closing a closed object must not touch the platform";
}

TEST_F(Devices, OpenWithoutItsEventStaysClosedAndGivesTheHandleBack) {
  fake.openevent = false;
  createwavein(in, 0);
  EXPECT_EQ(in.open, 0);
  EXPECT_EQ(in.handle, nullptr);
  EXPECT_EQ(in.headers, nullptr);
  EXPECT_EQ(logcount("inclose"), 1);
  EXPECT_EQ(logindex("instart"), -1);
}

TEST_F(Devices, RefusedOpenStaysClosed) {
  fake.openresult = MMSYSERR_ALLOCATED;
  createwaveout(out, 0);
  EXPECT_EQ(out.open, 0);
  EXPECT_EQ(out.handle, nullptr);
  EXPECT_EQ(engineplayback.load(), nullptr);
}

TEST_F(Devices, DeviceMinusOneAsksForTheDefaultIn16BitStereo44100) {
  createwavein(in, -1);
  EXPECT_EQ(fake.opendevice, WAVE_MAPPER);
  EXPECT_EQ(fake.openmode, static_cast<DWORD>(CALLBACK_FUNCTION));
  EXPECT_EQ(fake.openinstance, reinterpret_cast<DWORD_PTR>(&in));
  const WAVEFORMATEX &f = fake.openformat;
  EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(f.nChannels, 2);
  EXPECT_EQ(f.nSamplesPerSec, 44100u);
  EXPECT_EQ(f.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(f.nBlockAlign, 4);
  EXPECT_EQ(f.wBitsPerSample, 16);
  EXPECT_EQ(f.cbSize, 0);
  createwaveout(out, 3);
  EXPECT_EQ(fake.opendevice, 3u);
}

TEST_F(Devices, CaptureQueuesSixPreparedBuffersThenStarts) {
  createwavein(in, 0);
  ASSERT_EQ(in.open, 1);
  EXPECT_EQ(in.running, 1);
  EXPECT_EQ(in.blockframes, frames);
  for (int i = 0; i < 6; ++i) {
    WAVEHDR *h = in.headers[i];
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->dwBufferLength, 4u * frames);
    EXPECT_EQ(h->dwUser, static_cast<DWORD_PTR>(i));
    int prepared = logindex("inprepare " + std::to_string(i));
    int added = logindex("inaddbuffer " + std::to_string(i));
    ASSERT_GE(prepared, 0);
    EXPECT_GT(added, prepared);
    EXPECT_LT(added, logindex("instart"));
  }
}

TEST_F(Devices, FailedStartLeavesCaptureOpenButNotRunning) {
  fake.startresult = MMSYSERR_ERROR;
  createwavein(in, 0);
  EXPECT_EQ(in.open, 1);
  EXPECT_EQ(in.running, 0);
}

TEST_F(Devices, PlaybackPublishesItsSixFreeBuffersAndWritesNothingYet) {
  createwaveout(out, 0);
  ASSERT_EQ(engineplayback.load(), &out.port);
  EXPECT_EQ(out.running, 1);
  EXPECT_EQ(out.port.buffercount, 6);
  EXPECT_EQ(out.port.bufferframes, frames);
  EXPECT_EQ(busycount(), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out.port.data[i], reinterpret_cast<int16_t *>(out.headers[i]->lpData));
  EXPECT_EQ(fake.writes, 0);
}

TEST_F(Devices, PlaybackWhoseLastPreparationFailedIsOpenButNotRunning) {
  fake.outprepareanswers = {0, 0, 0, 0, 0, MMSYSERR_NOMEM};
  createwaveout(out, 0);
  EXPECT_EQ(out.open, 1);
  EXPECT_EQ(out.running, 0);
  EXPECT_EQ(engineplayback.load(), &out.port) << "later blocks are still written";
}

// ---- blocks ----------------------------------------------------------------

TEST_F(Devices, FilledBufferIsProcessedIntoPlaybackBeforeItIsHandedBack) {
  createwaveout(out, 0);
  createwavein(in, 0);
  fake.log.clear();
  record(2, 4 * 60, 1234);  // 60 frames
  EXPECT_EQ(capturedcount.load(), 120);
  EXPECT_EQ(capturedblock.load(), in.copybuffer);
  EXPECT_EQ(in.copybuffer[0], 1234);
  EXPECT_EQ(in.copybuffer[119], 1234);
  EXPECT_EQ(fake.writes, 1);
  EXPECT_EQ(busycount(), 1);
  int written = -1;
  for (int i = 0; i < 6; ++i)
    if (out.busy[i]) written = logindex("outwrite " + std::to_string(i));
  ASSERT_GE(written, 0);
  EXPECT_LT(logindex("inunprepare 2"), written);
  EXPECT_GT(logindex("inprepare 2"), written);
  EXPECT_GT(logindex("inaddbuffer 2"), logindex("inprepare 2"));
  EXPECT_EQ(in.headers[2]->dwBytesRecorded, 0u);
  EXPECT_EQ(in.running, 1);
}

TEST_F(Devices, CaptureCallbackFlushesSubnormalsOnTheAudioThread) {
  createwavein(in, 0);
  const unsigned int ftzdaz = 0x8040;
  const unsigned int saved = _mm_getcsr();
  _mm_setcsr(saved & ~ftzdaz);
  record(0, 0);
  const unsigned int csr = _mm_getcsr();
  _mm_setcsr(saved);
  EXPECT_EQ(csr & ftzdaz, ftzdaz);
}

TEST_F(Devices, EmptyCompletionRunsNothingButRequeuesTheBuffer) {
  createwaveout(out, 0);
  createwavein(in, 0);
  fake.log.clear();
  record(4, 0);
  EXPECT_EQ(fake.writes, 0);
  EXPECT_EQ(logcount("inaddbuffer 4"), 1);
  EXPECT_EQ(in.running, 1);
}

TEST_F(Devices, ErrorInTheBlockHandlerStopsTheFlowOfBuffers) {
  createwaveout(out, 0);
  createwavein(in, 0);
  fake.log.clear();
  fake.inprepareanswers = {MMSYSERR_NOMEM};  // the re-preparation of buffer 1 fails
  record(1, 4 * frames);
  EXPECT_EQ(in.running, 0);
  EXPECT_EQ(fake.writes, 1) << "the block itself was still processed";
  EXPECT_EQ(logcount("inaddbuffer 1"), 0);
  fake.log.clear();
  record(3, 4 * frames);  // a later completion is left alone
  EXPECT_TRUE(fake.log.empty());
  EXPECT_EQ(fake.writes, 1);
}

TEST_F(Devices, CaptureWithoutPlaybackDropsEveryBlockAndKeepsRecording) {
  createwavein(in, 0);
  fake.log.clear();
  for (int i = 0; i < 6; ++i) record(i, 4 * frames);
  EXPECT_EQ(fake.writes, 0);
  EXPECT_EQ(logcount("inaddbuffer 5"), 1);
  EXPECT_EQ(in.running, 1);
}

TEST_F(Devices, AtMostTwoBlocksAreEverQueuedForPlayback) {
  createwaveout(out, 0);
  createwavein(in, 0);
  // Six capture blocks and no playback completion: two are queued, four dropped.
  for (int i = 0; i < 6; ++i) record(i, 4 * frames);
  EXPECT_EQ(fake.writes, 2);
  EXPECT_EQ(busycount(), 2);
  EXPECT_EQ(engine.freeout, 4);
  // One played buffer frees one place: exactly one more block goes out.
  int first = -1;
  for (int i = 0; i < 6 && first < 0; ++i)
    if (out.busy[i]) first = i;
  played(first);
  EXPECT_EQ(out.busy[first], 0);
  record(0, 4 * frames);
  record(1, 4 * frames);
  EXPECT_EQ(fake.writes, 3);
  EXPECT_EQ(busycount(), 2);
}

TEST_F(Devices, DoneHandlerFreesExactlyThePlayedBufferEvenAfterAnError) {
  createwaveout(out, 0);
  for (int i = 0; i < 6; ++i) out.busy[i] = 1;
  played(3);
  EXPECT_EQ(busycount(), 5);
  EXPECT_EQ(out.busy[3], 0);
  EXPECT_EQ(out.running, 1);
  fake.unprepareresult = MMSYSERR_ERROR;
  played(5);
  EXPECT_EQ(out.busy[5], 0);
  EXPECT_EQ(out.running, 0);
}

TEST_F(Devices, RefusedWriteGivesItsBufferBackInsteadOfLosingIt) {
  createwaveout(out, 0);
  createwavein(in, 0);
  fake.writeresult = MMSYSERR_ERROR;
  for (int i = 0; i < 6; ++i) record(i, 4 * frames);
  EXPECT_EQ(busycount(), 0);
  EXPECT_EQ(out.running, 0);
  fake.writeresult = 0;
  record(0, 4 * frames);
  EXPECT_EQ(fake.writes, 1) << "later blocks still find free buffers";
}

// ---- closing ---------------------------------------------------------------

TEST_F(Devices, CaptureClosesInTheWrittenOrder) {
  createwavein(in, 0);
  fake.log.clear();
  destroywavein(in);
  const std::vector<std::string> expected = {
      "scan", "sleep100", "inreset", "instop", "scan", "sleep100",
      "inunprepare 0", "inunprepare 1", "inunprepare 2", "inunprepare 3", "inunprepare 4", "inunprepare 5",
      "inclose"};
  EXPECT_EQ(fake.log, expected);
  EXPECT_EQ(fake.runningatreset, 0) << "the flow must stop before the device returns its buffers";
  EXPECT_EQ(in.open, 0);
  EXPECT_EQ(in.headers, nullptr);
  EXPECT_EQ(in.copybuffer, nullptr);
  EXPECT_EQ(capturedblock.load(), nullptr);
}

TEST_F(Devices, PlaybackWithdrawsItsBuffersBeforeClosing) {
  createwaveout(out, 0);
  fake.log.clear();
  destroywaveout(out);
  const std::vector<std::string> expected = {
      "scan", "sleep100", "outreset", "scan", "sleep100",
      "outunprepare 0", "outunprepare 1", "outunprepare 2", "outunprepare 3", "outunprepare 4", "outunprepare 5",
      "outclose"};
  EXPECT_EQ(fake.log, expected);
  EXPECT_FALSE(fake.portatreset) << "processblock could still reach buffers about to be freed";
  EXPECT_EQ(fake.runningatreset, 0);
  EXPECT_EQ(engineplayback.load(), nullptr);
  EXPECT_EQ(out.open, 0);
  fake.log.clear();
  destroywaveout(out);
  EXPECT_TRUE(fake.log.empty()) << "a second close does nothing";
}

TEST_F(Devices, CloseAnsweredStillPlayingIsRetriedEvery50ms) {
  createwavein(in, 0);
  createwaveout(out, 0);
  fake.log.clear();
  fake.closeanswers = {wavestillplaying, wavestillplaying, wavestillplaying};
  destroywavein(in);
  EXPECT_EQ(logcount("inclose"), 4);
  EXPECT_EQ(logcount("sleep50"), 3);
  EXPECT_EQ(in.open, 0);
  EXPECT_EQ(in.result, 0u);
  fake.log.clear();
  fake.closeanswers = {wavestillplaying};
  destroywaveout(out);
  EXPECT_EQ(logcount("outclose"), 2);
  EXPECT_EQ(logcount("sleep50"), 1);
  EXPECT_EQ(out.open, 0);
}

TEST_F(Devices, CloseGivesUpAfterAHundredRetries) {
  createwavein(in, 0);
  createwaveout(out, 0);
  fake.log.clear();
  fake.closeanswers.assign(500, wavestillplaying);
  destroywavein(in);
  EXPECT_EQ(logcount("inclose"), 101);
  EXPECT_EQ(logcount("sleep50"), 100);
  EXPECT_EQ(in.result, static_cast<MMRESULT>(wavestillplaying));
  EXPECT_EQ(in.handle, nullptr);
  EXPECT_EQ(in.copybuffer, nullptr);
  fake.log.clear();
  destroywaveout(out);
  EXPECT_EQ(logcount("outclose"), 101);
  EXPECT_EQ(logcount("sleep50"), 100);
  fake.closeanswers.clear();
}

TEST_F(Devices, OtherCloseErrorsAreNotRetried) {
  createwavein(in, 0);
  fake.log.clear();
  fake.closeanswers = {MMSYSERR_INVALHANDLE};
  destroywavein(in);
  EXPECT_EQ(logcount("inclose"), 1);
  EXPECT_EQ(logcount("sleep50"), 0);
}

}  // namespace
