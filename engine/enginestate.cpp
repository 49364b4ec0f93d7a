// enginestate.cpp: the engine record, its start values and the device-open values.
#include "engine/engine.h"

#include <cstring>

EngineState engine;
std::atomic<PlaybackPort *> engineplayback{nullptr};
EngineClock engineclock{nullptr, false, 0, 0.0};
LiveCounters livecounters;

void engineparameterdefaults() {
  EngineState &e = engine;
  e.gain = 1.0f;
  e.testgain = 3.0f;
  e.pan = 0.0f;
  e.wet = 0;
  e.tplug = 1;
  e.buffersize = startbuffersize;
  e.autovol = 2;
  e.reverb = 1;
  e.treverba = 200.0f;
  e.treverbb = 250.0f;
  e.kreverba = 0.1f;
  e.kreverbb = 0.1f;
  e.automod = 0.5f;
  e.lowmod = 1.0f;
  e.krevmod = 1.0f;
  e.decay = 1.0f;
  e.tdecay = 100.0f;
  e.kdecay = 0.77f;
  e.noise = 0;
  e.antilarsen = 0;
  e.bypass = 0;
  e.remove50 = 0;
  e.mono = 0;

}

void engineswitchesoff() {
  EngineState &e = engine;
  e.noise = 0;
  e.antilarsen = 0;
  e.bypass = 0;
  e.mono = 0;
  if (e.remove50 != 1 && e.remove50 != 2) e.remove50 = 0;
}

void engineinit() {
  EngineState &e = engine;
  engineparameterdefaults();

  // switches: play is set to 1 when the main window is built
  e.quitrequest = 0;
  e.play = 1;
  e.loopteststate = 0;
  e.inputmode = 0;
  e.outputmode = 0;
  e.starttime = 0.0;

  // published values
  e.freeout = 0;
  e.inputpeak = 0.0f;
  e.vupeak = 1.0f;
  e.inputmeter = 0.0f;
  e.testpeak = 0.0f;
  e.testlevel = 0.0f;

  // stage memories
  ChainMemories &m = e.chain;
  m = ChainMemories{};
  m.dryenv = 100.0f;
  m.wetenv = 100.0f;
  m.guardspan = 100.0;
  m.autolevel = 0.1f;
  m.limitergain = 1.0f;
  m.followergain = 1.0f;
  e.autolevel = 0.1f;
  e.measurec1 = 0;
  e.measurec2 = 0;

  std::memset(e.measurecos, 0, sizeof e.measurecos);
  std::memset(e.measuresin, 0, sizeof e.measuresin);
  std::memset(e.comb, 0, sizeof e.comb);
  std::memset(e.inputhistory, 0, sizeof e.inputhistory);

  engineclock.streamframe = 0;
  engineclock.lastreading = 0.0;

  for (acount *c : {&livecounters.captured, &livecounters.processed, &livecounters.dropped,
                    &livecounters.underruns, &livecounters.bunched, &livecounters.queueempty,
                    &livecounters.starvedframes, &livecounters.discontinuities, &livecounters.lostframes})
    c->store(0);
}

void enginedevicesopened(double now) {
  engine.starttime = now;
  engine.inputmode = 1;
  engine.outputmode = 1;
  engine.vupeak = 1.0f;
  engine.autolevel = 0.01f;
}

int buffersizeentry(int i) {
  int v = i <= 18 ? 50 * i + 100 : 100 * i - 800;
  if (v < 150) v = 150;
  if (v > 1980) v = 1980;
  return 10 * v;
}
