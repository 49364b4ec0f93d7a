// processblock.cpp: one captured block in, one queued playback block out.
//
// Runs on the audio thread (the capture device's completion callback), one
// block at a time. Parameters and switches are read every sample, so a change
// takes effect from the next sample. The chain's scalar memories are copied to
// a local record for the block so they stay in registers, and stored back at the
// end. Allocates nothing, takes no lock, and calls the system only through the
// clock (once per block) and the playback port's queue operation. With plug-ins
// in the chain the samples run inside the plug-in guard (pluginhost/pluginguard.h), which
// takes its recovery point once per block.
#include <algorithm>
#include <cmath>

#include "engine/atomics.h"
#include "engine/engine.h"
#include "engine/filters.h"
#include "engine/levelcontrol.h"
#include "engine/loopmeasure.h"
#include "pluginhost/pluginguard.h"

namespace {

// The bound pluginproc entries of slots 1 to 6, in slot order, without the
// slots switched off by a fault. The host fills and empties slots only while
// audio is stopped, so one look per block is enough.
struct PluginChain {
  int count;
  mutable int calling;  // index of the call in progress: read after a caught fault
  int slot[pluginslotcount];
  pluginproc_fn procs[pluginslotcount];

  void gather() {
    count = 0;
    calling = 0;
    for (int i = 1; i <= pluginslotcount; ++i)
      if (pluginslots[i].pluginproc && pluginfault[i].load(std::memory_order_relaxed) == 0) {
        slot[count] = i;
        procs[count++] = pluginslots[i].pluginproc;
      }
  }

  // The output of one plug-in is the input of the next. A non-finite result
  // would poison every later memory for the rest of the run, so it becomes 0
  // for that call.
  float run(float x) const {
    for (int i = 0; i < count; ++i) {
      calling = i;
      x = procs[i](x);
      if (!std::isfinite(x)) x = 0.0f;
    }
    return x;
  }
};

// What stays fixed for one block: the time of its samples on the engine
// clock, and the plug-ins to call.
struct BlockTime {
  bool stream;       // stream clock: frame f at f / 44100 exactly
  int64_t frame0;    // stream clock: frame of the block's first sample
  double now0;       // live clock: reading at the start of the block
  bool envelope;     // some sample of the block lies before starttime + 6
  double starttime;  // read once per block
  PluginChain plugins;

  double at(int j) const {
    if (stream) return static_cast<double>(frame0 + j / 2) / samplerate;
    return now0 + static_cast<double>(j / 2) / samplerate;
  }
};

// floor() for the output stage's range (|v| < 2^31), without a library call.
inline float floorsample(float v) {
  float t = static_cast<float>(static_cast<int32_t>(v));
  return t > v ? t - 1.0f : t;
}

// 3 s of silence after every start, then a 3 s linear fade-in.
inline float startenvelope(float x, double now, double starttime) {
  if (now < starttime + 3) return 0.0f;
  if (now < starttime + 6) x = x * std::clamp((now - starttime - 3) / 3, 0.0, 1.0);
  return x;
}

template <int channel>
inline float mainchain(ChainMemories &m, float x, int j, const BlockTime &time) {
  EngineState &e = engine;
  x = dcblocker(m.dc[channel], x);
  m.inputpeak = std::max(m.inputpeak, std::fabs(x));
  x = combaverage(m, e.comb, x);
  float d = x;
  m.dryenv += (std::fabs(d) + 50 - m.dryenv) * 0.02;
  if (ld(e.tplug) == 1) x = time.plugins.run(x);
  if (ld(e.wet) == 1) x = wetextract(m, x, d);
  st(e.decay, 1.0f);
  trendguard(m, x, ld(e.testgain));
  x = std::clamp(x, -32767.0f, 32767.0f);
  if (time.envelope) x = startenvelope(x, time.at(j), time.starttime);
  autolevelupdate(m, ld(e.gain));
  return x;
}

// Sample j of the block (channel = j & 1): input s in, the 16-bit value to store out.
template <int channel>
inline int16_t samplechain(ChainMemories &m, float s, int j, const BlockTime &time) {
  EngineState &e = engine;
  m.historypos = m.historypos + 1 == historysize ? 0 : m.historypos + 1;
  e.inputhistory[m.historypos] = s;
  float x = s;

  if (channel == 0) {
    m.tonetime += 2.2675736961451248e-05;  // 1/44100 s per frame
    if (m.tonetime > 1000) m.tonetime -= 999.9991614149886;
  }

  int loopteststate = ld(e.loopteststate);
  int inputmode = ld(e.inputmode);
  if (loopteststate != 0) {
    // The loop test resets testpeak and scales testlevel while this runs, so
    // both are updated in place rather than from a block-local copy.
    x = loopmeasure(m, x);
    if (std::fabs(x) > ld(e.testpeak)) st(e.testpeak, std::fabs(x));
  }

  if (inputmode == 0) x = 0.0f;
  if (inputmode == 99) x = 16000 * std::cos(3014.8194357241427 * m.tonetime);  // testtone

  if (loopteststate == 0 && inputmode < 99) x = mainchain<channel>(m, x, j, time);

  if (inputmode == 1) {  // gain path
    limiterupdate(m, x, ld(e.gain), ld(e.testgain), ld(e.outputmode));
    if (loopteststate == 0) x = lowcut(m.low[channel], x);
    m.inputmeter += (std::min(std::fabs(x), 32700.0f) - m.inputmeter) * 0.001;
    x = m.limitergain * x;
  }

  if (loopteststate == 0) x = levelfollower(m, x, ld(e.wet) == 1);
  x = std::clamp(x, -32700.0f, 32700.0f);
  if (ld(e.outputmode) == 0) x = 0.0f;
  float y = x;

  if (ld(e.play) == 0) return 0;  // lastoutput keeps its value
  float out;
  if (loopteststate != 0) {
    out = floorsample(m.lastoutput);
  } else {
    float pan = ld(e.pan);
    out = (1 - pan) * m.lastoutput + pan * y;
    // Saturate before the floor; NaN never reaches the integer conversion.
    out = out == out ? floorsample(std::clamp(out, -32768.0f, 32767.0f)) : 0.0f;
  }
  m.lastoutput = y;
  return static_cast<int16_t>(out);
}

// Up to six times advance the rotation index; take the first free buffer.
inline int pickbuffer(PlaybackPort &port) {
  for (int tries = 0; tries < port.buffercount; ++tries) {
    *port.current = (*port.current + 1) % port.buffercount;
    if (port.busy[*port.current].load(std::memory_order_acquire) == 0) return *port.current;
  }
  return -1;
}

// Publishes a working value the user-interface thread may also write: if it
// wrote during the block, its value stands.
inline void publish(afloat &shared, float seen, float mine) {
  shared.compare_exchange_strong(seen, mine, std::memory_order_relaxed);
}

void runsamples(const int16_t *samples, int16_t *out, int count, const BlockTime &time) {
  EngineState &e = engine;
  ChainMemories m = e.chain;
  const float autolevel = ld(e.autolevel);
  m.autolevel = autolevel;

  int j = 0;
  for (; j + 1 < count; j += 2) {
    out[j] = samplechain<0>(m, samples[j], j, time);
    out[j + 1] = samplechain<1>(m, samples[j + 1], j + 1, time);
  }
  if (j < count) out[j] = samplechain<0>(m, samples[j], j, time);  // never for whole frames

  if (ld(e.loopteststate) == 0 && ld(e.inputmode) < 99) levelperiod(m, count);

  e.chain = m;
  publish(e.autolevel, autolevel, m.autolevel);
  st(e.inputpeak, m.inputpeak);
  st(e.inputmeter, m.inputmeter);
}

// One block's work handed to the plug-in guard.
struct GuardedBlock {
  const int16_t *samples;
  int16_t *out;
  int count;
  const BlockTime *time;
};

void runguarded(void *context) {
  const GuardedBlock &b = *static_cast<const GuardedBlock *>(context);
  runsamples(b.samples, b.out, b.count, *b.time);
}

}  // namespace

void processblock(const int16_t *samples, int count) {
  EngineState &e = engine;
  BlockTime time{engineclock.streamclock, 0, 0.0, true, ld(e.starttime), {}};
  if (time.stream) {
    time.frame0 = engineclock.streamframe;
    engineclock.streamframe += count / 2;
  } else {
    time.now0 = engineclock.now ? engineclock.now() : 0.0;
    engineclock.lastreading = time.now0;  // the capture handler times completions with it
  }
  // Clock readings only grow within a block: if its first sample is past the
  // fade-in, every sample is.
  time.envelope = time.at(0) < time.starttime + 6;

  if (ld(e.quitrequest) == 1) return;

  PlaybackPort *port = engineplayback.load(std::memory_order_acquire);
  int free = 0;
  if (port) {
    for (int i = 0; i < port->buffercount; ++i) free += port->busy[i].load(std::memory_order_acquire) == 0;
  }
  st(e.freeout, free);
  if (ld(e.play) > 1) return;
  // At least five of six free: never more than two blocks queued for playback.
  if (free <= 4) {
    countblock(livecounters.dropped);
    return;
  }

  int index = pickbuffer(*port);
  if (index < 0) return;
  port->busy[index].store(1, std::memory_order_release);

  count = std::clamp(count, 0, 2 * port->bufferframes);  // a block never overruns a buffer
  time.plugins.gather();
  int16_t *out = port->data[index];
  if (time.plugins.count > 0 && pluginguard.run) {
    GuardedBlock block{samples, out, count, &time};
    if (uint32_t code = pluginguard.run(runguarded, &block)) {
      // A plug-in faulted: switch its slot off, play the block as silence.
      pluginfault[time.plugins.slot[time.plugins.calling]].store(code, std::memory_order_release);
      std::fill(out, out + count, int16_t{0});
    }
  } else {
    runsamples(samples, out, count, time);
  }
  port->queue(port->context, index);
  countblock(livecounters.processed);
}
