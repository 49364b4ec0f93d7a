// ringout_bench: the cost of one ringout pluginproc call, natively, in ns.
//   music:              a stereo music-like signal (partials, swell, noise);
//   silence after burst: 2 s of loud sound, then 20 s of silence before timing,
//                        so the decaying states have gone as small as they go.
// Each runs with the FPU as it comes (subnormals computed in full) and with
// flush-to-zero and denormals-are-zero, as the host's audio thread runs.
// Figures only: nothing here fails on a timing.
#include <benchmark/benchmark.h>
#include <pmmintrin.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "ringout/ringoutdsp.h"

namespace {

struct Instance {
  Instance() : lines(std::make_unique<RingoutLines>()), state(std::make_unique<RingoutState>()) {
    ringoutstart(*state, *lines);
    params.gain = 99.0f;
    params.decay = 2.0f;
  }
  std::unique_ptr<RingoutLines> lines;
  std::unique_ptr<RingoutState> state;
  RingoutParams params;
};

std::vector<float> musicsignal(int calls) {
  std::vector<float> out(calls);
  uint32_t seed = 7;
  for (int i = 0; i < calls; i++) {
    seed = seed * 1664525u + 1013904223u;
    const double t = (i / 2) / 44100.0;
    const double f = (i % 2 == 0) ? 220.0 : 277.0;
    const double swell = 0.5 + 0.5 * std::sin(6.2831853 * 0.4 * t);
    out[i] = static_cast<float>(swell * (7000 * std::sin(6.2831853 * f * t) + 2500 * std::sin(6.2831853 * 3.02 * f * t)) +
                                (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 400.0);
  }
  return out;
}

void setflush(bool on) {
  _MM_SET_FLUSH_ZERO_MODE(on ? _MM_FLUSH_ZERO_ON : _MM_FLUSH_ZERO_OFF);
  _MM_SET_DENORMALS_ZERO_MODE(on ? _MM_DENORMALS_ZERO_ON : _MM_DENORMALS_ZERO_OFF);
}

// Subnormal values left in the float states (echo line, high-pass states).
int subnormalfloats(const RingoutState &st) {
  int count = 0;
  for (float v : st.echo) count += std::fpclassify(v) == FP_SUBNORMAL;
  for (const RingoutChannel &ch : st.set)
    for (int i = 0; i < highpassstages; i++)
      count += (std::fpclassify(ch.lp[i]) == FP_SUBNORMAL) + (std::fpclassify(ch.hp[i]) == FP_SUBNORMAL);
  return count;
}

void BM_pluginprocmusic(benchmark::State &state) {
  const bool flush = state.range(0) != 0;
  setflush(flush);
  Instance r;
  const std::vector<float> input = musicsignal(2 * 44100 * 5);
  size_t at = 0;
  float sink = 0;
  for (auto _ : state) {
    sink += ringoutproc(*r.state, r.params, input[at]);
    if (++at == input.size()) at = 0;
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.counters["x realtime"] = benchmark::Counter(state.iterations() / 88200.0, benchmark::Counter::kIsRate);
  setflush(false);
}

void BM_pluginprocsilenceafterburst(benchmark::State &state) {
  const bool flush = state.range(0) != 0;
  setflush(flush);
  Instance r;
  const std::vector<float> burst = musicsignal(2 * 44100 * 2);
  for (float x : burst) ringoutproc(*r.state, r.params, 3.0f * x);
  for (int i = 0; i < 2 * 44100 * 20; i++) ringoutproc(*r.state, r.params, 0.0f);
  float sink = 0;
  for (auto _ : state) sink += ringoutproc(*r.state, r.params, 0.0f);
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.counters["x realtime"] = benchmark::Counter(state.iterations() / 88200.0, benchmark::Counter::kIsRate);
  state.counters["subnormal floats"] = subnormalfloats(*r.state);
  setflush(false);
}

}  // namespace

BENCHMARK(BM_pluginprocmusic)->ArgName("ftz")->Arg(0)->Arg(1)->MinTime(1.0);
BENCHMARK(BM_pluginprocsilenceafterburst)->ArgName("ftz")->Arg(0)->Arg(1)->MinTime(1.0);
BENCHMARK_MAIN();
