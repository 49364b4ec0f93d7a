// presetfile.cpp: reading and writing preset files.
#include "app/settings/presetfile.h"

#include <algorithm>

#include "numberlines/numberlines.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"

void readpresettext(std::string_view text) {
  EngineState &e = engine;
  const float testgain = e.testgain;
  NumberLines in = numberlinesof(text);
  e.gain = readrealline(in, 1.0f);
  e.buffersize = std::max(150, std::min(16000, readintline(in, startbuffersize)));
  e.autovol = readintline(in, 2);
  e.reverb = readintline(in, 1);
  e.treverba = readrealline(in, 200.0f);
  e.kreverba = readrealline(in, 0.1f);
  e.treverbb = readrealline(in, 250.0f);
  e.kreverbb = readrealline(in, 0.1f);
  e.automod = readrealline(in, 0.5f);
  e.lowmod = readrealline(in, 1.0f);
  e.krevmod = readrealline(in, 1.0f);
  e.decay = 1.0f;
  if (!numberlinesatend(in)) e.decay = std::max(1.0f, std::min(4.0f, readrealline(in, 1.0f)));
  e.mono = readintline(in, 0);
  e.noise = readintline(in, 0);
  e.remove50 = readintline(in, 0);
  e.antilarsen = readintline(in, 0);
  readrealline(in, 0.0f);  // testgain: kept as it is
  settings.color = readintline(in, 0);
  e.tdecay = readrealline(in, 100.0f);
  e.kdecay = readrealline(in, 0.77f);
  e.pan = readrealline(in, 0.0f);
  e.testgain = testgain;
}

std::string writepresettext() {
  std::string out;
  writeeffectlines(out);
  writerealline(out, engine.pan);
  return out;
}

bool savepreset(const std::string &path) { return savenumberfile(path.c_str(), writepresettext()); }

bool loadpreset(const std::string &path) {
  std::string text;
  if (!loadnumberfile(path.c_str(), text)) return false;
  readpresettext(text);
  return true;
}
