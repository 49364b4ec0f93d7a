// The stream back end's block assembly and queue accounting, with a fake
// device: packets of any length become whole blocks, and the six buffers stay
// busy until the device's own count says they were played.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/engine/chainharness.h"
#include "engine/devices/latestblock.h"
#include "engine/devices/streamblocks.h"

namespace {

double fakenow = 100.0;  // the live clock processblock reads once per block
double fakeclock() { return fakenow; }

// The live engine with playing switched on and a clock the test moves.
void startlive() {
  engineinit();
  engineclock.streamclock = false;
  engineclock.now = fakeclock;
  enginedevicesopened(0.0);
  engine.play = 1;
  fakenow = 100.0;
}

// Frame f of a test stream carries f in the left and -f in the right sample.
std::vector<int16_t> frames(int from, int count) {
  std::vector<int16_t> s;
  for (int f = from; f < from + count; ++f) s.insert(s.end(), {static_cast<int16_t>(f), static_cast<int16_t>(-f)});
  return s;
}

TEST(StreamCapture, PacketsOfAnyLengthBecomeWholeBlocksInOrder) {
  startlive();
  TestPlayback port(441);
  std::vector<int16_t> storage(4 * 441);
  StreamCapture c;
  streamcapturebegin(c, storage.data(), 441);
  int sent = 0;
  auto send = [&](int n, double at) {
    fakenow = at;
    std::vector<int16_t> p = frames(sent, n);
    streamcapturepacket(c, p.data(), n);
    sent += n;
  };
  send(300, 100.00);
  EXPECT_EQ(livecounters.captured.load(), 0u) << "no block before one is whole";
  send(300, 100.01);  // completes frames 0..440
  ASSERT_EQ(livecounters.captured.load(), 1u);
  EXPECT_EQ(std::vector<int16_t>(capturedblock.load(), capturedblock.load() + 2 * 441), frames(0, 441));
  EXPECT_EQ(capturedcount.load(), 882);
  // A packet larger than a block: two blocks at one clock reading, so the
  // second is bunched, and what is left over starts the next block.
  send(1000, 100.02);
  EXPECT_EQ(livecounters.captured.load(), 3u);
  EXPECT_EQ(livecounters.bunched.load(), 1u);
  EXPECT_EQ(std::vector<int16_t>(capturedblock.load(), capturedblock.load() + 2 * 441), frames(882, 441));
  send(164, 100.03);  // 277 + 164 = 441: a whole block again, on time
  EXPECT_EQ(livecounters.captured.load(), 4u);
  EXPECT_EQ(livecounters.bunched.load(), 1u);
  EXPECT_EQ(std::vector<int16_t>(capturedblock.load(), capturedblock.load() + 2 * 441), frames(1323, 441));
  EXPECT_EQ(livecounters.processed.load() + livecounters.dropped.load(), 4u);
  streamcaptureend(c);
  EXPECT_EQ(capturedblock.load(), nullptr);
  EXPECT_EQ(capturedcount.load(), 0);
}

TEST(StreamCapture, LateAndBunchedBlocksAndSilencePackets) {
  startlive();
  TestPlayback port(400);
  std::vector<int16_t> storage(4 * 400);
  StreamCapture c;
  streamcapturebegin(c, storage.data(), 400);
  std::vector<int16_t> loud(2 * 400, 1234);
  // A quarter block is 400 / 4 / 44100 s = 2.27 ms.
  const double times[] = {1.000, 1.050, 1.051, 1.0535, 1.200};  // late, bunched, not bunched, late
  for (double t : times) {
    fakenow = t;
    streamcapturepacket(c, loud.data(), 400);
  }
  EXPECT_EQ(livecounters.captured.load(), 5u);
  EXPECT_EQ(livecounters.bunched.load(), 1u);
  // A packet the platform marked silent is silence, whatever its samples hold.
  streamcapturepacket(c, nullptr, 400);
  EXPECT_EQ(std::vector<int16_t>(capturedblock.load(), capturedblock.load() + 800), std::vector<int16_t>(800, 0));
}

TEST(StreamCapture, APacketAfterALossIsADiscontinuityWithTheFramesItSkipped) {
  startlive();
  std::vector<int16_t> storage(4 * 441);
  StreamCapture c;
  streamcapturebegin(c, storage.data(), 441);
  streamcaptureposition(c, 5000, 441, true);  // the first packet may carry the mark
  streamcaptureposition(c, 5441, 300, false);
  EXPECT_EQ(livecounters.discontinuities.load(), 0u);
  streamcaptureposition(c, 5741 + 882, 441, true);  // the device's ring overflowed: two periods gone
  EXPECT_EQ(livecounters.discontinuities.load(), 1u);
  EXPECT_EQ(livecounters.lostframes.load(), 882u);
  streamcaptureposition(c, 7064 + 100, 441, false);  // a jump the device did not mark
  streamcaptureposition(c, 7605, 441, true);         // a mark without a jump
  EXPECT_EQ(livecounters.discontinuities.load(), 3u);
  EXPECT_EQ(livecounters.lostframes.load(), 982u);
}

// A device that counts what it was given and how much of it is still to play.
struct FakeStream {
  std::vector<int> writes;  // frames of each write taken
  std::vector<int> peaks;   // and the largest sample of each
  int64_t padding = 0;      // frames written and not yet played
  bool refuse = false;
  static int write(void *device, const int16_t *samples, int n) {
    FakeStream &s = *static_cast<FakeStream *>(device);
    if (s.refuse) return 1;
    s.writes.push_back(n);
    s.peaks.push_back(*std::max_element(samples, samples + 2 * n));
    s.padding += n;
    return 0;
  }
  static int64_t pending(void *device) { return static_cast<FakeStream *>(device)->padding; }
};

// Blocks captured from packets and played on the fake device, as the capture
// thread runs them.
struct PlaybackRig {
  int frames;
  FakeStream device;
  std::vector<int16_t> storage, capturestorage, block;
  StreamPlayback p;
  StreamCapture c;
  explicit PlaybackRig(int blockframes = 441)
      : frames(blockframes), storage(14 * blockframes, 7), capturestorage(4 * blockframes), block(2 * blockframes, 100) {
    startlive();
    streamplaybackbegin(p, storage.data(), frames, FakeStream::write, FakeStream::pending, &device);
    engineplayback.store(&p.port);
    streamcapturebegin(c, capturestorage.data(), frames);
  }
  ~PlaybackRig() { engineplayback.store(nullptr); }
  void capture() { streamcapturepacket(c, block.data(), frames); }
};

TEST(StreamPlayback, BuffersStayBusyUntilTheDevicePlayedPastTheirEnd) {
  PlaybackRig r;
  EXPECT_EQ(r.storage[0], 0) << "the buffers start silent";
  r.capture();
  r.capture();
  r.capture();  // the device played nothing: two already queued, dropped
  EXPECT_EQ(r.device.writes, (std::vector<int>{441, 441}));
  EXPECT_EQ(livecounters.dropped.load(), 1u);
  EXPECT_EQ(engine.freeout.load(), 4);
  r.device.padding = 382;  // the first block played, 59 frames of the second
  r.capture();             // read as it arrives: one queued, so it is placed
  EXPECT_EQ(r.device.writes.size(), 3u);
  EXPECT_EQ(engine.freeout.load(), 5);
  r.device.padding -= 441;  // the second block is played, the third is not
  streamplaybacksettle(r.p);
  EXPECT_EQ(streamplaybackqueued(r.p), 1);
  EXPECT_EQ(livecounters.queueempty.load(), 0u);
}

TEST(StreamPlayback, HalfABlockOfSilenceInWholePeriodsGoesAheadOfTheFirstBlock) {
  EXPECT_EQ(streamprimeframes(441), 0);
  EXPECT_EQ(streamprimeframes(1323), 441);
  EXPECT_EQ(streamprimeframes(1500), 441);
  EXPECT_EQ(streamprimeframes(1764), 882);
  PlaybackRig r(882);
  r.capture();
  r.capture();
  EXPECT_EQ(r.device.writes, (std::vector<int>{441, 882, 882}));
  EXPECT_EQ(r.device.peaks[0], 0) << "silence";
  // The silence is played first: the first block is busy until 441 + 882 frames are.
  r.device.padding = 883;
  streamplaybacksettle(r.p);
  EXPECT_EQ(streamplaybackqueued(r.p), 2);
  r.device.padding = 882;
  streamplaybacksettle(r.p);
  EXPECT_EQ(streamplaybackqueued(r.p), 1);
}

TEST(StreamPlayback, AnEmptyQueueIsCountedOnceEachTimeItRunsEmpty) {
  PlaybackRig r;
  r.capture();
  EXPECT_EQ(livecounters.queueempty.load(), 0u) << "not before the first block";
  r.device.padding = 0;  // the device played it all before the next block came
  r.capture();
  EXPECT_EQ(livecounters.queueempty.load(), 1u);
  r.device.padding = 0;
  streamplaybacksettle(r.p);  // the device stopped delivering: found empty again
  streamplaybacksettle(r.p);
  EXPECT_EQ(livecounters.queueempty.load(), 2u);
  EXPECT_EQ(streamplaybackqueued(r.p), 0);
  r.capture();
  r.device.padding = 0;
  engine.quitrequest = 1;  // closing: the queue drains on purpose
  streamplaybacksettle(r.p);
  EXPECT_EQ(livecounters.queueempty.load(), 2u);
}

// A device that takes a 441-frame period every 10 ms, as Wine's shared-mode
// streams do, with 882-frame blocks arriving on a capture clock of their own.
struct TimedRig : PlaybackRig {
  double nexttick = 100.010;
  int owed = 0;     // periods a late device tick will take at once
  int starved = 0;  // periods the device had nothing to play: heard as silence
  TimedRig() : PlaybackRig(882) {}
  // The device's ticks up to time t; `skipped` ticks are late and taken with the next.
  void runto(double t, int skipped = 0) {
    for (; nexttick <= t; nexttick += 0.010) {
      if (skipped > 0) {
        --skipped;
        ++owed;
        continue;
      }
      for (; owed >= 0; --owed) {
        starved += device.padding == 0 && !device.writes.empty();
        device.padding = std::max<int64_t>(0, device.padding - 441);
      }
      owed = 0;
    }
    fakenow = t;
  }
  void blockat(double t, int skipped = 0) {
    runto(t, skipped);
    capture();
  }
};

TEST(StreamPlayback, BunchedButCompletePeriodsAreNoUnderrunThoughTheQueueReadsEmpty) {
  TimedRig r;
  for (int k = 0; k < 300; ++k) {
    // Blocks mostly 1 ms after a device tick; every seventh 15 ms late (the
    // device took the last period just before it); every eleventh device
    // tick late and made good at the next.
    const double late = k % 7 == 3 ? 0.015 : 0.0;
    r.blockat(100.001 + 0.020 * k + late, k % 11 == 5 ? 1 : 0);
  }
  EXPECT_GT(livecounters.queueempty.load(), 20u) << "the moments the old counter counted";
  EXPECT_EQ(r.starved, 0) << "nothing went unplayed";
  EXPECT_EQ(livecounters.underruns.load(), 0u);
  EXPECT_EQ(livecounters.starvedframes.load(), 0u);
}

TEST(StreamPlayback, AStarvationIsCountedOnceWithTheFramesThatWentUnplayed) {
  TimedRig r;
  int k = 0;
  for (; k < 50; ++k) r.blockat(100.001 + 0.020 * k);
  EXPECT_EQ(livecounters.underruns.load(), 0u);
  // The capture side holds three blocks back for 45 ms and lets them go
  // together: the device runs out of blocks for a few periods, and the
  // third block is dropped.
  const double stall = 100.001 + 0.020 * k + 0.045;
  r.blockat(stall);
  r.blockat(stall);
  r.blockat(stall);
  for (k += 3; k < 150; ++k) r.blockat(100.001 + 0.020 * k + 0.040);
  ASSERT_GT(r.starved, 1);
  EXPECT_EQ(livecounters.underruns.load(), 1u);
  EXPECT_NEAR(static_cast<double>(livecounters.starvedframes.load()), 441.0 * r.starved, 2);
  // Playing switched off and on again is no starvation.
  engine.play = 2;
  for (; k < 200; ++k) r.blockat(100.001 + 0.020 * k);
  engine.play = 1;
  for (; k < 300; ++k) r.blockat(100.001 + 0.020 * k);
  EXPECT_EQ(livecounters.underruns.load(), 1u);
}

TEST(StreamPlayback, ABlockTheDeviceWillNotTakeFreesItsBufferAtOnce) {
  PlaybackRig r;
  r.device.refuse = true;
  r.capture();
  r.capture();
  r.capture();
  EXPECT_EQ(streamplaybackqueued(r.p), 0);
  EXPECT_EQ(r.p.written, 0);
  EXPECT_EQ(livecounters.dropped.load(), 0u);
}

}  // namespace
