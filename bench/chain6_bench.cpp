// chain6_bench: the whole engine chain with six ringout instances in slots 1-6,
// on one core, natively. Each instance has its own state and lines, as six
// loaded copies of the module would. Prints samples per second and the
// multiple of real time (88,200 samples/s), with the plug-ins called directly
// and inside a plug-in guard.
#include <benchmark/benchmark.h>
#include <pmmintrin.h>
#include <xmmintrin.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "engine/engine.h"
#include "ringout/ringoutdsp.h"

namespace {

struct Instance {
  RingoutState state{};
  RingoutParams params;
  std::unique_ptr<RingoutLines> lines = std::make_unique<RingoutLines>();
};
Instance *instances[pluginslotcount];

template <int i>
float QUARN_PLUGINCALL proc(float x) {
  return ringoutproc(instances[i]->state, instances[i]->params, x);
}

// A stand-in for the Windows fault catcher with the same work on the way in:
// a recovery point per block (the vectored handler itself costs nothing
// until a fault).
void *recovery[5];
__attribute__((noinline)) uint32_t benchguard(void (*body)(void *), void *context) {
  if (__builtin_setjmp(recovery) == 0) body(context);
  return 0;
}

void BM_chainwithsixringouts(benchmark::State &state) {
  pluginguard.run = state.range(0) ? benchguard : nullptr;
  _MM_SET_FLUSH_ZERO_MODE(_MM_FLUSH_ZERO_ON);  // as the capture callback sets it on the live audio thread
  _MM_SET_DENORMALS_ZERO_MODE(_MM_DENORMALS_ZERO_ON);
  static std::vector<std::unique_ptr<Instance>> owned;
  if (owned.empty()) {
    for (int i = 0; i < pluginslotcount; ++i) {
      owned.push_back(std::make_unique<Instance>());
      instances[i] = owned.back().get();
      ringoutstart(instances[i]->state, *instances[i]->lines);
    }
  }
  pluginproc_fn procs[] = {proc<0>, proc<1>, proc<2>, proc<3>, proc<4>, proc<5>};
  for (int i = 0; i < pluginslotcount; ++i) pluginslots[i + 1].pluginproc = procs[i];

  engineinit();
  engineclock.streamclock = true;
  enginedevicesopened(-6.0);
  const int frames = 1500;
  std::vector<int16_t> storage(12 * frames), input(2 * 44100 * 10);
  std::mt19937 rng(5);
  std::normal_distribution<double> noise(0, 300);
  for (size_t i = 0; i < input.size(); ++i)
    input[i] = static_cast<int16_t>(std::lround(6000 * std::sin(i * 0.03) * std::sin(i * 0.00007) + noise(rng)));
  int16_t *data[6];
  std::atomic<int32_t> busy[6];
  for (int i = 0; i < 6; ++i) {
    data[i] = storage.data() + 2 * i * frames;
    busy[i] = 0;
  }
  int current = 0;
  PlaybackPort port{6, frames, busy, &current, data, busy, [](void *c, int i) {
                      static_cast<std::atomic<int32_t> *>(c)[i] = 0;
                    }, nullptr};
  engineplayback.store(&port);
  size_t pos = 0, processed = 0;
  for (auto _ : state) {
    if (pos + 2 * frames > input.size()) pos = 0;
    processblock(input.data() + pos, 2 * frames);
    pos += 2 * frames;
    processed += 2 * frames;
  }
  engineplayback.store(nullptr);
  for (int i = 1; i <= pluginslotcount; ++i) pluginslots[i].pluginproc = nullptr;
  pluginguard.run = nullptr;
  state.counters["samples/s"] = benchmark::Counter(static_cast<double>(processed), benchmark::Counter::kIsRate);
  state.counters["x realtime"] = benchmark::Counter(processed / 88200.0, benchmark::Counter::kIsRate);
}

}  // namespace

// guarded:0 plug-ins called directly; guarded:1 inside a recovery point per block.
BENCHMARK(BM_chainwithsixringouts)->ArgName("guarded")->Arg(0)->Arg(1)->MinTime(2.0);
BENCHMARK_MAIN();
