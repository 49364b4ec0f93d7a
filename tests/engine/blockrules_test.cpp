// Block rules of processblock: when a block is placed or dropped, buffer
// rotation, play at the output. Elsewhere: five or six free buffers place a
// block and four drop it (test_streamblocks.cpp); what the chain makes of a
// placed block (test_chainreference.cpp); non-finite plug-in results
// (tests/pluginhost/pluginchain_test.cpp).
#include <gtest/gtest.h>

#include "tests/engine/chainharness.h"

namespace {

std::vector<int16_t> block(int frames, int16_t value = 1000) { return std::vector<int16_t>(2 * frames, value); }

TEST(BlockPlacement, RotationSkipsBusyBuffers) {
  startengine();
  TestPlayback p(150);
  p.busy[1] = 1;  // one buffer still playing: five free, so the block is placed
  std::vector<int16_t> b = block(150);
  p.pendingcount = 300;
  processblock(b.data(), 300);
  processblock(b.data(), 300);
  // The index advances before each try: 1 is busy, so 2 is taken, then 3.
  ASSERT_EQ(p.queuedindexes.size(), 2u);
  EXPECT_EQ(p.queuedindexes[0], 2);
  EXPECT_EQ(p.queuedindexes[1], 3);
}

TEST(BlockPlacement, SwitchesThatDropEveryBlock) {
  std::vector<int16_t> b = block(400);
  {
    startengine();
    TestPlayback p(400);
    engine.freeout = 77;
    engine.quitrequest = 1;
    processblock(b.data(), 800);
    EXPECT_TRUE(p.queuedindexes.empty());
    EXPECT_EQ(engine.freeout.load(), 77) << "quitrequest leaves the block untouched";
  }
  {
    startengine();
    TestPlayback p(400);
    engine.play = 2;
    processblock(b.data(), 800);
    EXPECT_TRUE(p.queuedindexes.empty());
    EXPECT_EQ(engine.freeout.load(), 6);
  }
  {
    startengine();  // playback closed: no port
    processblock(b.data(), 800);
    EXPECT_EQ(engine.freeout.load(), 0);
  }
}

TEST(BlockPlacement, ABlockLongerThanTheBufferIsCutToTheBuffer) {
  startengine();
  TestPlayback p(150);
  std::vector<int16_t> big = block(400);
  p.pendingcount = 300;
  processblock(big.data(), 800);
  EXPECT_EQ(p.queuedindexes.size(), 1u);
}

TEST(OutputStage, PlayZeroWritesZerosAndKeepsTheLastOutput) {
  std::vector<int16_t> in = sine(300, 8000, 0.3);
  const int frames = 400;
  auto runwithpause = [&](bool pause) {
    startengine();
    TestPlayback p(frames);
    for (size_t b = 0; b * 2 * frames < in.size(); ++b) {
      engine.play = (pause && b == 5) ? 0 : 1;
      p.pendingcount = 2 * frames;
      size_t pos = b * 2 * frames;
      if (pos + 2 * frames > in.size()) break;
      processblock(in.data() + pos, 2 * frames);
    }
    return p.output;
  };
  std::vector<int16_t> paused = runwithpause(true), plain = runwithpause(false);
  ASSERT_EQ(paused.size(), plain.size());
  const size_t b5 = 5 * 2 * frames, b6 = 6 * 2 * frames;
  for (size_t i = b5; i < b6; ++i) ASSERT_EQ(paused[i], 0) << i;
  // With pan 0 the first sample after the pause repeats the last chain output
  // before it, which the uninterrupted run shows as the first sample of block 5.
  EXPECT_EQ(paused[b6], plain[b5]);
  EXPECT_NE(plain[b5], 0);
  for (size_t i = b6 + 1; i < paused.size(); ++i) ASSERT_EQ(paused[i], plain[i]) << i;
}

}  // namespace
