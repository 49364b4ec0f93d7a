// settingsfile.cpp: reading and writing roomcaster_quarn.ini.
// User-interface thread; the engine's parameters are written whole.
#include "app/settings/settingsfile.h"

#include <algorithm>

#include "numberlines/numberlines.h"
#include "engine/engine.h"

AppSettings settings;

void settingsdefaults() {
  settings = AppSettings{};
  settings.winx = 10;
  settings.winy = 10;
  settings.wavein = -1;
  settings.waveout = -1;
  settings.color = 0;
  settings.noisecount = 0;
  settings.noisethreshold = 100.0f;
  engineparameterdefaults();
}

static float ranged(float value, float low, float high) { return std::max(low, std::min(high, value)); }

void readsettingstext(std::string_view text) {
  settingsdefaults();
  NumberLines in = numberlinesof(text);
  EngineState &e = engine;
  settings.winx = readintline(in, settings.winx);
  settings.winy = readintline(in, settings.winy);
  settings.wavein = readintline(in, settings.wavein);
  settings.waveout = readintline(in, settings.waveout);
  e.gain = readrealline(in, e.gain);
  e.buffersize = std::max(150, std::min(16000, readintline(in, e.buffersize)));
  e.autovol = readintline(in, e.autovol);
  e.reverb = readintline(in, e.reverb);
  e.treverba = readrealline(in, e.treverba);
  e.kreverba = readrealline(in, e.kreverba);
  e.treverbb = readrealline(in, e.treverbb);
  e.kreverbb = readrealline(in, e.kreverbb);
  e.automod = readrealline(in, e.automod);
  e.lowmod = readrealline(in, e.lowmod);
  e.krevmod = readrealline(in, e.krevmod);
  if (!numberlinesatend(in)) e.decay = ranged(readrealline(in, e.decay), 1.0f, 4.0f);
  e.mono = readintline(in, e.mono);
  e.noise = readintline(in, e.noise);
  e.remove50 = readintline(in, e.remove50);
  e.antilarsen = readintline(in, e.antilarsen);
  if (!numberlinesatend(in)) e.testgain = ranged(readrealline(in, e.testgain), 0.001f, 3.0f);
  settings.color = readintline(in, settings.color);
  e.tdecay = readrealline(in, e.tdecay);
  e.kdecay = readrealline(in, e.kdecay);
  settings.noisecount = readintline(in, settings.noisecount);
  // A list longer than 400 leaves its last value in position 400. When the file
  // ends inside the list, the count becomes the number of values present, so a
  // damaged count never makes the exit write billions of lines.
  for (int32_t i = 1; i <= settings.noisecount; ++i) {
    float &slot = settings.noisesample[std::min(i, noisesamplecount)];
    slot = 0.0f;
    if (numberlinesatend(in)) {
      settings.noisecount = i - 1;
      break;
    }
    slot = readrealline(in, 0.0f);
  }
  settings.noisethreshold = readrealline(in, settings.noisethreshold);
  e.tplug = readintline(in, e.tplug);
  e.bypass = readintline(in, e.bypass);
  e.pan = readrealline(in, e.pan);
  e.wet = readintline(in, e.wet);
}

void writeeffectlines(std::string &out) {
  const EngineState &e = engine;
  writerealline(out, e.gain);
  writeintline(out, e.buffersize);
  writeintline(out, e.autovol);
  writeintline(out, e.reverb);
  writerealline(out, e.treverba);
  writerealline(out, e.kreverba);
  writerealline(out, e.treverbb);
  writerealline(out, e.kreverbb);
  writerealline(out, e.automod);
  writerealline(out, e.lowmod);
  writerealline(out, e.krevmod);
  writerealline(out, e.decay);
  writeintline(out, e.mono);
  writeintline(out, e.noise);
  writeintline(out, e.remove50);
  writeintline(out, e.antilarsen);
  writerealline(out, e.testgain);
  writeintline(out, settings.color);
  writerealline(out, e.tdecay);
  writerealline(out, e.kdecay);
}

std::string writesettingstext() {
  std::string out;
  const EngineState &e = engine;
  writeintline(out, settings.winx);
  writeintline(out, settings.winy);
  writeintline(out, settings.wavein);
  writeintline(out, settings.waveout);
  writeeffectlines(out);
  writeintline(out, settings.noisecount);
  for (int32_t i = 1; i <= settings.noisecount; ++i)
    writerealline(out, settings.noisesample[std::min(i, noisesamplecount)]);
  writerealline(out, settings.noisethreshold);
  writeintline(out, e.tplug);
  writeintline(out, e.bypass);
  writerealline(out, e.pan);
  writeintline(out, e.wet);
  return out;
}

void readsettings() {
  std::string text;
  loadnumberfile(settingsfilename, text);  // no file: every default
  readsettingstext(text);
}

bool writesettings() { return savenumberfile(settingsfilename, writesettingstext()); }
