// closedloop.cpp: runs the loop of closedloop.h block by block.
#include "bench/howlsim/closedloop.h"

#include <algorithm>
#include <cmath>

#include "bench/howlsim/fftconv.h"
#include "bench/howlsim/simrandom.h"

namespace {

void nonestart(void*) {}
void noneblock(void*, float*, int) {}
int nonecount(void*) { return 0; }

}  // namespace

SimPlugin simnone() { return {nonestart, noneblock, nonecount, nonecount, nullptr}; }

int looppartition(const LoopSetup& setup) {
  int p = 1;
  while (p * 2 <= 1024 && p * 2 <= setup.roundtrip - setup.block + 1) p *= 2;
  return p;
}

LoopResult runloop(const LoopSetup& setup, const LoopRun& run, const SimPlugin& plugin) {
  const std::vector<float>& source = *run.source;
  const int total = static_cast<int>(source.size());
  const int p = looppartition(setup), d = setup.roundtrip;
  const double fs = 44100.0;

  auto gainat = [&](int t) {
    const double db = run.gainstart + (run.gainend - run.gainstart) * t / std::max(total - 1, 1);
    return std::pow(10.0, db / 20);
  };

  LoopResult r;
  r.reference.assign(total, 0.0f);
  for (int t = d; t < total; ++t)
    r.reference[t] = static_cast<float>(std::clamp(gainat(t - d) * source[t - d], -32768.0, 32767.0));
  meterstart(r.meter, r.reference);

  Convolver before, after;
  if (run.path) convstart(before, *run.path, p);
  if (run.moved) convstart(after, *run.moved, p);
  const int padded = (total + p - 1) / p * p;
  std::vector<float> mic(padded, 0.0f), processed(total, 0.0f), speaker(padded, 0.0f);
  std::vector<float> y1(p), y2(p), block(2 * setup.block);
  SimRandom rng{run.seed};
  const double noise = 32768.0 * std::pow(10.0, run.noise / 20);
  const int changeat = static_cast<int>(run.changeat * fs), fade = std::max(1, static_cast<int>(run.crossfade * fs));

  plugin.start(plugin.context);
  int roomdone = 0;
  int t0 = 0;
  for (; t0 < total; t0 += setup.block) {
    const int frames = std::min(setup.block, total - t0);
    // The microphone up to the block's end: the loudspeaker it hears is the
    // output of earlier blocks.
    while (roomdone < t0 + frames) {
      for (int i = 0; i < p; ++i) {
        const int s = roomdone + i - d;
        speaker[roomdone + i] = s >= 0 && s < t0 ? processed[s] : 0.0f;
      }
      if (run.path) convblock(before, &speaker[roomdone], y1.data());
      if (run.moved) convblock(after, &speaker[roomdone], y2.data());
      for (int i = 0; i < p; ++i) {
        const int t = roomdone + i;
        double feedback = run.path ? y1[i] : 0.0;
        if (run.moved) {
          const double w = std::clamp(static_cast<double>(t - changeat) / fade, 0.0, 1.0);
          feedback = (1 - w) * feedback + w * y2[i];
        }
        mic[t] = static_cast<float>((t < total ? source[t] : 0.0f) + feedback + noise * simgauss(rng));
      }
      roomdone += p;
    }
    for (int j = 0; j < frames; ++j) {
      const float x = static_cast<float>(gainat(t0 + j) * mic[t0 + j]);
      block[2 * j] = x;
      block[2 * j + 1] = x;
    }
    plugin.block(plugin.context, block.data(), frames);
    for (int j = 0; j < frames; ++j) {
      const double y = 0.5 * (static_cast<double>(block[2 * j]) + block[2 * j + 1]);
      processed[t0 + j] = static_cast<float>(std::isfinite(y) ? std::clamp(y, -32768.0, 32767.0) : 0.0);
    }
    // What the loudspeaker has played by now is measured as it goes.
    const int played = std::min(total, t0 + frames + d);
    if (r.output.size() < static_cast<size_t>(played)) {
      const size_t from = r.output.size();
      r.output.resize(played);
      for (int t = static_cast<int>(from); t < played; ++t) r.output[t] = t >= d ? processed[t - d] : 0.0f;
      meterfeed(r.meter, r.output, played);
    }
    if (run.stopwhenunstable && r.meter.unstable) {
      t0 += frames;
      break;
    }
  }
  r.length = std::min(total, t0 + d);
  r.output.resize(r.length);
  r.placed = plugin.placed(plugin.context);
  r.active = plugin.active(plugin.context);
  return r;
}
