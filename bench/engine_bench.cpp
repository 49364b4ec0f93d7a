// engine_bench: throughput of the engine chain on one core, natively.
// Prints samples per second and the multiple of real time (88,200 samples/s).
//   music:          music-like input (chords with a slow envelope and noise), no plug-ins
//   silenceafterburst: 2 s of loud noise, then silence: the decaying memories go subnormal
//   processblock1500:  whole 1500-frame blocks, as the live engine gets them
// Each case runs with and without flush-to-zero / denormals-are-zero.
#include <benchmark/benchmark.h>
#include <pmmintrin.h>
#include <xmmintrin.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/engine.h"

namespace {

constexpr double realtime = 88200.0;  // samples per second of live stereo audio

std::vector<int16_t> musiclike(size_t frames) {
  std::vector<int16_t> s(2 * frames);
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0, 300);
  const double f[] = {110, 220, 277.2, 329.6, 440, 659.3};
  for (size_t i = 0; i < frames; ++i) {
    double t = i / 44100.0, env = 0.5 + 0.5 * std::sin(2 * M_PI * 0.3 * t), v = 0;
    for (double fk : f) v += std::sin(2 * M_PI * fk * t);
    v = v * 2500 * env;
    s[2 * i] = static_cast<int16_t>(std::lround(v + noise(rng)));
    s[2 * i + 1] = static_cast<int16_t>(std::lround(0.8 * v + noise(rng)));
  }
  return s;
}

std::vector<int16_t> burstthensilence(size_t frames) {
  std::vector<int16_t> s(2 * frames, 0);
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> loud(-30000, 30000);
  for (size_t i = 0; i < 2 * 88200 && i < s.size(); ++i) s[i] = static_cast<int16_t>(loud(rng));
  return s;
}

struct BenchPort {
  std::vector<int16_t> storage;
  int16_t *data[6];
  std::atomic<int32_t> busy[6];
  int current = 0;
  PlaybackPort port;

  explicit BenchPort(int frames) : storage(12 * frames) {
    for (int i = 0; i < 6; ++i) {
      data[i] = storage.data() + 2 * i * frames;
      busy[i] = 0;
    }
    port = PlaybackPort{6, frames, busy, &current, data, this, [](void *c, int i) {
                          static_cast<BenchPort *>(c)->busy[i] = 0;
                        }, nullptr};
  }
};

void setupengine() {
  engineinit();
  engineclock.streamclock = true;
  enginedevicesopened(-6.0);  // past the start-up silence and fade
  engine.play = 1;
}

void runblocks(benchmark::State &state, const std::vector<int16_t> &input, int frames, bool ftz) {
  unsigned int savedcsr = _mm_getcsr();
  if (ftz) {
    _MM_SET_FLUSH_ZERO_MODE(_MM_FLUSH_ZERO_ON);
    _MM_SET_DENORMALS_ZERO_MODE(_MM_DENORMALS_ZERO_ON);
  }
  setupengine();
  BenchPort bp(frames);
  engineplayback.store(&bp.port);
  size_t pos = 0, processed = 0;
  // Warm the memories through the first part of the input (the burst).
  for (auto _ : state) {
    if (pos + 2 * frames > input.size()) pos = input.size() / 2 & ~static_cast<size_t>(1);  // loop the tail
    processblock(input.data() + pos, 2 * frames);
    pos += 2 * frames;
    processed += 2 * frames;
  }
  engineplayback.store(nullptr);
  _mm_setcsr(savedcsr);
  state.counters["samples/s"] = benchmark::Counter(static_cast<double>(processed), benchmark::Counter::kIsRate);
  state.counters["x realtime"] =
      benchmark::Counter(static_cast<double>(processed) / realtime, benchmark::Counter::kIsRate);
}

void BM_music(benchmark::State &state) {
  static const std::vector<int16_t> input = musiclike(44100 * 20);
  runblocks(state, input, 400, state.range(0) != 0);
}

void BM_silenceafterburst(benchmark::State &state) {
  // 2 s burst then 60 s of silence; the loop stays in the silent tail.
  static const std::vector<int16_t> input = burstthensilence(44100 * 62);
  runblocks(state, input, 400, state.range(0) != 0);
}

void BM_processblock1500(benchmark::State &state) {
  static const std::vector<int16_t> input = musiclike(44100 * 20);
  runblocks(state, input, 1500, state.range(0) != 0);
}

}  // namespace

BENCHMARK(BM_music)->ArgName("ftz")->Arg(0)->Arg(1)->MinTime(1.0);
BENCHMARK(BM_silenceafterburst)->ArgName("ftz")->Arg(0)->Arg(1)->MinTime(1.0);
BENCHMARK(BM_processblock1500)->ArgName("ftz")->Arg(0)->Arg(1)->MinTime(1.0);
BENCHMARK_MAIN();
