// The block counters against a fake waveform table: capture completions that
// arrive bunched, and playback buffers that come back late, each show up in
// their own counter, so a drop-out can be traced to its side.
#include <gtest/gtest.h>

#include "tests/engine/devices/wavefake.h"

namespace {

int raises = 0;           // calls to raise the calling thread's priority
constexpr int frames = 441;                         // 10 ms blocks
constexpr double block = frames / 44100.0;          // seconds per block

class LiveCounterTest : public WaveDevices {
 protected:
  void SetUp() override {
    WaveDevices::SetUp();
    waveapi.raisethread = [] { ++raises; };
    raises = 0;
    createwaveout(out, 0);
    createwavein(in, 0);
  }
  // Capture buffer (n mod 6) comes back full at time t.
  void captureat(int n, double t) {
    fakenow = t;
    record(n, 4 * frames);
  }
  // The oldest queued playback buffer comes back played (rotation order).
  int oldest = 1;  // processblock advances the index before it picks, so buffer 1 goes first
  void played() {
    ASSERT_NE(out.busy[oldest], 0) << "nothing queued to come back";
    WaveDevices::played(oldest);
    oldest = (oldest + 1) % 6;
  }
  void expectcounts(uint32_t captured, uint32_t processed, uint32_t dropped, uint32_t underruns, uint32_t bunched) {
    EXPECT_EQ(livecounters.captured.load(), captured);
    EXPECT_EQ(livecounters.processed.load(), processed);
    EXPECT_EQ(livecounters.dropped.load(), dropped);
    EXPECT_EQ(livecounters.underruns.load(), underruns);
    EXPECT_EQ(livecounters.bunched.load(), bunched);
  }
};

// Steady flow: each block arrives one block after the last, and the playback
// buffer queued two blocks ago comes back just before. Nothing is lost.
TEST_F(LiveCounterTest, EvenFlowCountsEveryBlockAndNothingElse) {
  captureat(0, 1.0);
  captureat(1, 1.0 + block);
  for (int n = 2; n < 40; ++n) {
    played();
    captureat(n, 1.0 + n * block);
  }
  expectcounts(40, 40, 0, 0, 0);
  EXPECT_EQ(raises, 2) << "capture and playback callbacks raise their thread once, not per block";
  // A block just over a quarter after the last is jitter, not a bunch.
  played();
  captureat(40, 1.0 + 39 * block + 0.26 * block);
  expectcounts(41, 41, 0, 0, 0);
}

// Two completions within a quarter block: the second finds two blocks queued
// and the queue rule drops it. Playback then runs one block short and empties.
TEST_F(LiveCounterTest, BunchedCaptureShowsAsBunchedThenDroppedThenUnderrun) {
  captureat(0, 1.0);
  captureat(1, 1.0 + block);
  played();
  captureat(2, 1.0 + 2 * block);
  played();
  captureat(3, 1.0 + 3.5 * block);  // held back by the platform ...
  captureat(4, 1.0 + 3.6 * block);  // ... and let go with the next one
  expectcounts(5, 4, 1, 0, 1);
  played();
  played();  // the last queued block is played, nothing follows it
  expectcounts(5, 4, 1, 1, 1);
  captureat(5, 1.0 + 5 * block);
  expectcounts(6, 5, 1, 1, 1);
}

// Playback that returns its buffers late: evenly timed blocks are dropped
// because the queue is full, and when the late buffers come back together the
// queue runs empty. No capture completion is bunched.
TEST_F(LiveCounterTest, LatePlaybackShowsAsDroppedAndUnderrunNotBunched) {
  for (int n = 0; n < 5; ++n) captureat(n, 1.0 + n * block);  // no buffer comes back meanwhile
  expectcounts(5, 2, 3, 0, 0);
  played();
  played();
  expectcounts(5, 2, 3, 1, 0);
  captureat(5, 1.0 + 5 * block);
  played();  // came back, but the queue is empty again
  expectcounts(6, 3, 3, 2, 0);
}

// Closing drains the queue on purpose: neither blocks dropped while quitting
// nor the last buffers coming back count as losses.
TEST_F(LiveCounterTest, ClosingCountsNoLosses) {
  captureat(0, 1.0);
  captureat(1, 1.0 + block);
  engine.quitrequest = 1;
  captureat(2, 1.0 + 2 * block);
  played();
  played();
  expectcounts(3, 2, 0, 0, 0);
}

}  // namespace
