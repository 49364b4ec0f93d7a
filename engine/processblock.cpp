// processblock.cpp: one captured block in, one queued playback block out.
//
// Runs on the audio thread (the capture device's completion callback), one
// block at a time. Reads the parameters and switches every sample, so a change
// takes effect from the next sample. Allocates nothing, takes no lock, and
// calls the system only through the clock (once per block) and the playback
// port's queue operation.
#include <cmath>

#include "atomics.h"
#include "engine.h"
#include "filters.h"
#include "levelcontrol.h"
#include "loopmeasure.h"

namespace {

// Time of the block's samples on the engine clock.
struct BlockTime {
  bool stream;     // stream clock: frame f at f / 44100 exactly
  int64_t frame0;  // stream clock: frame of the block's first sample
  double now0;     // live clock: reading at the start of the block

  double at(int j) const {
    if (stream) return static_cast<double>(frame0 + j / 2) / samplerate;
    return now0 + static_cast<double>(j / 2) / samplerate;
  }
};

// Slots 1 to 6 in order; the output of one plug-in is the input of the next.
// A non-finite result would poison every later memory for the rest of the run,
// so it becomes 0 for that call.
inline float pluginchain(float x) {
  for (int i = 1; i <= pluginslotcount; ++i) {
    pluginproc_fn proc = pluginslots[i].pluginproc;
    if (proc) {
      x = proc(x);
      if (!std::isfinite(x)) x = 0.0f;
    }
  }
  return x;
}

// 3 s of silence after every start, then a 3 s linear fade-in.
inline float startenvelope(float x, double now, double starttime) {
  if (now < starttime + 3) return 0.0f;
  if (now < starttime + 6) x = x * std::clamp((now - starttime - 3) / 3, 0.0, 1.0);
  return x;
}

inline float mainchain(float x, int j, const BlockTime &time, double starttime) {
  EngineState &e = engine;
  x = dcblocker(x, j);
  if (std::fabs(x) > ld(e.inputpeak)) st(e.inputpeak, std::fabs(x));
  x = combaverage(x);
  float d = x;
  e.dryenv += (std::fabs(d) + 50 - e.dryenv) * 0.02;
  if (ld(e.tplug) == 1) x = pluginchain(x);
  if (ld(e.wet) == 1) x = wetextract(x, d);
  st(e.decay, 1.0f);
  trendguard(x);
  x = std::clamp(x, -32767.0f, 32767.0f);
  x = startenvelope(x, time.at(j), starttime);
  autolevelupdate();
  return x;
}

// Sample j of the block: input s in, the 16-bit value to store out.
inline int16_t samplechain(float s, int j, const BlockTime &time, double starttime) {
  EngineState &e = engine;
  e.historypos = e.historypos + 1 == historysize ? 0 : e.historypos + 1;
  e.inputhistory[e.historypos] = s;
  float x = s;

  if ((j & 1) == 0) {
    e.tonetime += 2.2675736961451248e-05;  // 1/44100 s per frame
    if (e.tonetime > 1000) e.tonetime -= 999.9991614149886;
  }

  int loopteststate = ld(e.loopteststate);
  int inputmode = ld(e.inputmode);
  if (loopteststate != 0) {
    x = loopmeasure(x);
    if (std::fabs(x) > ld(e.testpeak)) st(e.testpeak, std::fabs(x));
  }

  if (inputmode == 0) x = 0.0f;
  if (inputmode == 99) x = 16000 * std::cos(3014.8194357241427 * e.tonetime);  // testtone

  if (loopteststate == 0 && inputmode < 99) x = mainchain(x, j, time, starttime);

  if (inputmode == 1) {  // gain path
    limiterupdate(x);
    if (loopteststate == 0) x = lowcut(x, j);
    float meter = ld(e.inputmeter);
    meter += (std::min(std::fabs(x), 32700.0f) - meter) * 0.001;
    st(e.inputmeter, meter);
    x = e.limitergain * x;
  }

  if (loopteststate == 0) x = levelfollower(x);
  x = std::clamp(x, -32700.0f, 32700.0f);
  if (ld(e.outputmode) == 0) x = 0.0f;
  float y = x;

  if (ld(e.play) == 0) return 0;  // lastoutput keeps its value
  float out;
  if (loopteststate != 0) {
    out = std::floor(e.lastoutput);
  } else {
    float pan = ld(e.pan);
    out = std::floor((1 - pan) * e.lastoutput + pan * y);
    if (!(out == out)) out = 0.0f;  // NaN never reaches the integer conversion
    out = std::clamp(out, -32768.0f, 32767.0f);
  }
  e.lastoutput = y;
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

}  // namespace

void processblock(const int16_t *samples, int count) {
  EngineState &e = engine;
  BlockTime time{engineclock.streamclock, 0, 0.0};
  if (time.stream) {
    time.frame0 = engineclock.streamframe;
    engineclock.streamframe += count / 2;
  } else {
    time.now0 = engineclock.now ? engineclock.now() : 0.0;
  }

  if (ld(e.quitrequest) == 1) return;

  PlaybackPort *port = engineplayback.load(std::memory_order_acquire);
  int free = 0;
  if (port) {
    for (int i = 0; i < port->buffercount; ++i) free += port->busy[i].load(std::memory_order_acquire) == 0;
  }
  st(e.freeout, free);
  // At least five of six free: never more than two blocks queued for playback.
  if (!(ld(e.play) <= 1 && free > 4)) return;

  int index = pickbuffer(*port);
  if (index < 0) return;
  port->busy[index].store(1, std::memory_order_release);

  if (count > 2 * port->bufferframes) count = 2 * port->bufferframes;  // a block never overruns a buffer
  if (count < 0) count = 0;
  int16_t *out = port->data[index];
  double starttime = ld(e.starttime);
  for (int j = 0; j < count; ++j) out[j] = samplechain(samples[j], j, time, starttime);

  if (ld(e.loopteststate) == 0 && ld(e.inputmode) < 99) levelperiod(count);

  port->queue(port->context, index);
}
