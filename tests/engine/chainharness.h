// chainharness.h: drives processblock without a device, on the stream clock.
#pragma once
#include <atomic>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/engine.h"

// A playback port with six buffers, each played as soon as it is queued,
// whose queued blocks are collected.
struct TestPlayback {
  int frames;
  std::vector<int16_t> storage;
  int16_t *data[6];
  std::atomic<int32_t> busy[6];
  int current = 0;
  int pendingcount = 0;          // samples of the block being processed
  std::vector<int> queuedindexes;
  std::vector<int16_t> output;   // every queued block, its first pendingcount samples
  PlaybackPort port;

  explicit TestPlayback(int blockframes) : frames(blockframes), storage(12 * blockframes, 0) {
    for (int i = 0; i < 6; ++i) {
      data[i] = storage.data() + 2 * i * blockframes;
      busy[i] = 0;
    }
    port = PlaybackPort{6, blockframes, busy, &current, data, this, &TestPlayback::queue, nullptr};
    engineplayback.store(&port);
  }
  ~TestPlayback() { engineplayback.store(nullptr); }

  static void queue(void *c, int index) {
    TestPlayback &p = *static_cast<TestPlayback *>(c);
    p.queuedindexes.push_back(index);
    p.output.insert(p.output.end(), p.data[index], p.data[index] + p.pendingcount);
    p.busy[index] = 0;  // played at once
  }

  // Runs the input through processblock in blocks of `frames` frames.
  void run(const std::vector<int16_t> &input) {
    for (size_t pos = 0; pos < input.size(); pos += 2 * static_cast<size_t>(frames)) {
      int count = static_cast<int>(std::min<size_t>(2 * static_cast<size_t>(frames), input.size() - pos));
      pendingcount = count;
      processblock(input.data() + pos, count);
    }
  }
};

// The state the renderer starts in: program start-up, then the devices opened
// at stream time `starttime`.
inline void startengine(double starttime = -6.0) {
  engineinit();
  engineclock.streamclock = true;
  engineclock.streamframe = 0;
  enginedevicesopened(starttime);
  engine.play = 1;
}

// A stereo sine of `seconds`, amplitude `amp`, the right channel at 0.7 of the left.
inline std::vector<int16_t> sine(double hz, double amp, double seconds) {
  size_t frames = static_cast<size_t>(seconds * 44100);
  std::vector<int16_t> s(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    double v = amp * std::sin(2 * M_PI * hz * i / 44100.0);
    s[2 * i] = static_cast<int16_t>(std::lround(v));
    s[2 * i + 1] = static_cast<int16_t>(std::lround(0.7 * v));
  }
  return s;
}
