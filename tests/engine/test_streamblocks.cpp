// The stream back end's block assembly and queue accounting, with a fake
// device: packets of any length become whole blocks, and the six buffers stay
// busy until the device's own count says they were played.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "chainharness.h"
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

// A device that counts what it was given and how much of it is still to play.
struct FakeStream {
  std::vector<int> writes;        // frames of each write taken
  bool refuse = false;
  std::function<void()> during;  // runs inside the write, as another thread might
  static int write(void *device, const int16_t *, int n) {
    FakeStream &s = *static_cast<FakeStream *>(device);
    if (s.during) s.during();
    if (s.refuse) return 1;
    s.writes.push_back(n);
    return 0;
  }
};

struct PlaybackRig {
  FakeStream device;
  std::vector<int16_t> storage = std::vector<int16_t>(12 * 441, 7);
  StreamPlayback p;
  std::vector<int16_t> block = std::vector<int16_t>(882, 100);
  PlaybackRig() {
    startlive();
    streamplaybackbegin(p, storage.data(), 441, FakeStream::write, &device);
    engineplayback.store(&p.port);
  }
  ~PlaybackRig() { engineplayback.store(nullptr); }
  void capture() { processblock(block.data(), 882); }
  void settle(int64_t padding) { streamplaybacksettle(p, streamplaybackwritten(p), padding); }
};

TEST(StreamPlayback, BuffersStayBusyUntilTheDevicePlayedPastTheirEnd) {
  PlaybackRig r;
  EXPECT_EQ(r.storage[0], 0) << "the buffers start silent";
  r.capture();
  r.capture();
  r.capture();  // two already queued: dropped by the two-block rule
  EXPECT_EQ(r.device.writes, (std::vector<int>{441, 441}));
  EXPECT_EQ(livecounters.dropped.load(), 1u);
  EXPECT_EQ(engine.freeout.load(), 4);
  r.settle(882);  // nothing played yet
  EXPECT_EQ(streamplaybackqueued(r.p), 2);
  r.settle(382);  // the first block played, 59 frames of the second
  EXPECT_EQ(streamplaybackqueued(r.p), 1);
  r.capture();
  EXPECT_EQ(r.device.writes.size(), 3u);
  EXPECT_EQ(engine.freeout.load(), 5);
  r.settle(441);
  EXPECT_EQ(streamplaybackqueued(r.p), 1) << "the second block is played, the third is not";
  EXPECT_EQ(livecounters.underruns.load(), 0u);
}

TEST(StreamPlayback, AnUnderrunIsCountedOnceEachTimeTheQueueRunsEmpty) {
  PlaybackRig r;
  r.settle(0);
  EXPECT_EQ(livecounters.underruns.load(), 0u) << "not before the first block";
  r.capture();
  r.settle(0);  // the device stopped delivering: what was queued plays out
  r.settle(0);
  EXPECT_EQ(livecounters.underruns.load(), 1u);
  EXPECT_EQ(streamplaybackqueued(r.p), 0);
  r.capture();
  engine.quitrequest = 1;  // closing: the queue drains on purpose
  r.settle(0);
  EXPECT_EQ(livecounters.underruns.load(), 1u);
}

// The playback thread may settle at any moment of the capture thread's work.
TEST(StreamPlayback, ASettleAmidAWriteNeverFreesABufferEarly) {
  PlaybackRig r;
  r.capture();
  const int64_t before = streamplaybackwritten(r.p);  // 441 written
  r.capture();                                         // the capture thread writes again
  streamplaybacksettle(r.p, before, 882);              // the padding already holds it
  EXPECT_EQ(streamplaybackqueued(r.p), 2);
  // Each buffer in turn played and freed, until the rotation comes back to the first.
  for (int i = 0; i < 4; ++i) {
    r.settle(0);
    r.capture();
  }
  r.settle(0);
  // Buffer 1 again: marked busy, and the playback thread settles before its
  // write is counted. The end of its last use must not free it.
  r.device.during = [&] { r.settle(0); };
  r.capture();
  r.device.during = nullptr;
  EXPECT_EQ(streamplaybackqueued(r.p), 1);
}

TEST(StreamPlayback, ABlockTheDeviceWillNotTakeFreesItsBufferAtOnce) {
  PlaybackRig r;
  r.device.refuse = true;
  r.capture();
  r.capture();
  r.capture();
  EXPECT_EQ(streamplaybackqueued(r.p), 0);
  EXPECT_EQ(streamplaybackwritten(r.p), 0);
  EXPECT_EQ(livecounters.dropped.load(), 0u);
}

}  // namespace
