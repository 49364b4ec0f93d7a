// loopmeasure.cpp: the measurement path of the loop test. Audio thread only.
//
// While a loop test runs, of every four calls the first and third pass the
// sample and the second and fourth return 0; the fourth also measures the
// strength of the 479.8234 Hz test tone in the input history, by correlating
// 60 points one tone period apart with a cosine and a sine.
#include "engine/loopmeasure.h"

#include <algorithm>
#include <cmath>

#include "engine/atomics.h"
#include "engine/enginestate.h"

// One period of the test tone in interleaved history positions (~183.8176).
static const double measurestep = std::min(998000.0 / 60, 44100 / 239.91170118635668);
// Phase advance of the tone per step (4 pi to seven digits).
static const double measuretheta = measurestep * 3014.8194357241427 / 44100;

static void measure(ChainMemories &m) {
  EngineState &e = engine;
  if (e.measurecos[0] < 0.00001) {  // first use: fill the tables once
    for (int i = 0; i < measuretable; ++i) {
      e.measurecos[i] = std::cos(i * measuretheta);
      e.measuresin[i] = std::sin(i * measuretheta);
    }
  }
  double t = m.historypos;
  double re = 0, im = 0;
  for (int i = 1; i <= 60; ++i) {
    t -= measurestep;
    if (t < 0.0001) t += historysize;
    long n = std::lround(t) % historysize;
    float v = e.inputhistory[n];
    re += e.measurecos[i] * v;
    im += e.measuresin[i] * v;
  }
  re /= 60;
  im /= 60;
  double magnitude = 0.75 * std::sqrt(re * re + im * im);
  float level = ld(e.testlevel);  // the loop test also writes it, between blocks or during one
  level += (magnitude - level) * 0.0021;
  st(e.testlevel, level);
}

float loopmeasure(ChainMemories &m, float x) {
  EngineState &e = engine;
  e.measurec1 = (e.measurec1 + 1) % 2;
  if (e.measurec1 == 1) return x;
  e.measurec2 = e.measurec2 + 1;
  if (e.measurec2 < 2) return 0;
  e.measurec2 = 0;
  measure(m);
  return 0;
}
