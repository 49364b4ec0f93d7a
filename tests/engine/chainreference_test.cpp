// The block engine against a plain sample-at-a-time model of the chain, written
// step by step from the chain's description without the engine's block-local
// memories, channel unrolling or envelope shortcut. Any restructuring of the
// engine for speed must keep the two bit-identical.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "tests/engine/chainharness.h"

namespace {

struct Model {
  // parameters
  float gain = 1, testgain = 3, pan = 0;
  int wet = 0, tplug = 1, inputmode = 1, outputmode = 1;
  double starttime = 0;
  float (*plugin)(float) = nullptr;
  // memories
  double tonetime = 0;
  float dclp[2][6] = {}, dchp[2][6] = {}, lclp[2][2] = {}, lchp[2][2] = {};
  std::vector<float> comb = std::vector<float>(10000, 0.0f);
  int combpos = 0;
  float dryenv = 100, wetenv = 100, lastoutput = 0;
  double L = 0, R = 0, T = 0, S = 100, G = 0;
  float autolevel = 0.01f, limitergain = 1, F = 0, W = 0, K = 1, inputpeak = 0, vupeak = 1;
  int counter = 0;
  long frame = 0;

  float mainchain(float x, int j, double now) {
    int ch = j % 2;
    for (int k = 5; k >= 1; --k) {
      dclp[ch][k] += (dchp[ch][k - 1] - dclp[ch][k]) * 0.0002;
      dchp[ch][k] = (dchp[ch][k - 1] - dclp[ch][k]) * 0.985;
    }
    dclp[ch][0] += (x - dclp[ch][0]) * 0.0002;
    dchp[ch][0] = (x - dclp[ch][0]) * 0.985;
    x = dchp[ch][5] * 0.985;
    inputpeak = std::max(inputpeak, std::fabs(x));
    combpos = (combpos + 1) % 10000;
    comb[combpos] = x;
    x = 0.498 * (x + comb[(combpos - 4000 + 10000) % 10000]);
    float d = x;
    dryenv += (std::fabs(d) + 50 - dryenv) * 0.02;
    if (tplug == 1 && plugin) x = plugin(x);
    if (wet == 1) {
      wetenv += (std::fabs(x) + 50 - wetenv) * 0.02;
      x = 0.95 * (x - 0.95 * d * wetenv / dryenv);
    }
    // trend guard
    T += (0.985 * L - T) * 0.001;
    R += (25 + L - R) * 0.004;
    L += (std::fabs(x) - L) * 0.003;
    S += (std::min(0.05 * R + 80, 100.0) - S) * 0.03;
    double low = testgain < 0.141 ? 0.8 : testgain < 0.36 ? 0.82 : testgain < 0.6 ? 0.85 : 0.9;
    double high = testgain < 0.141 ? 1.93 : testgain < 0.36 ? 1.96 : testgain < 0.6 ? 1.99 : 2.04;
    if (T < R) {
      G += (S / (R + S - T) - G) * 0.02;
      G = std::max(G, low);
    } else {
      G += ((T + S - R) / S - G) * 0.01;
      G = std::min(G, high);
    }
    x = std::min(std::max(x, -32767.0f), 32767.0f);
    if (now < starttime + 3) x = 0;
    else if (now < starttime + 6) x = x * std::min(std::max((now - starttime - 3) / 3, 0.0), 1.0);
    // automatic level
    float q0 = 1 - inputpeak / 32767;
    double q = q0 * (0.8 * gain + 0.2) * 0.42;
    float p = q * q;
    if (p >= autolevel) autolevel += (p - autolevel) * 0.000003;
    else if (inputpeak > 22000) autolevel += (p - autolevel) * 0.001;
    else autolevel += (p - autolevel) * 0.00003;
    return x;
  }

  int16_t sample(float s, int j) {
    double now = double(frame + j / 2) / 44100;
    float x = s;
    if (j % 2 == 0) {
      tonetime += 2.2675736961451248e-05;
      if (tonetime > 1000) tonetime -= 999.9991614149886;
    }
    if (inputmode == 0) x = 0;
    if (inputmode == 99) x = 16000 * std::cos(3014.8194357241427 * tonetime);
    if (inputmode < 99) x = mainchain(x, j, now);
    if (inputmode == 1) {
      float m = testgain * gain * autolevel;
      if (outputmode == 1) m = m * std::min(G, 1.0);
      float ceiling = m * m * 30000;
      if (std::fabs(m * x) > ceiling) {
        float v = ceiling / std::fabs(x);
        limitergain += (v - limitergain) * 0.01;
        limitergain = std::min<double>(limitergain, 1.07 * v);
      } else {
        limitergain += (m - limitergain) * 0.0003;
      }
      if (outputmode == 99) limitergain = gain;
      int ch = j % 2;
      lclp[ch][1] += (lchp[ch][0] - lclp[ch][1]) * 0.0033;
      lchp[ch][1] = (lchp[ch][0] - lclp[ch][1]) * 0.985;
      lclp[ch][0] += (x - lclp[ch][0]) * 0.0033;
      lchp[ch][0] = (x - lclp[ch][0]) * 0.985;
      x = lchp[ch][1] * 0.985;
      x = limitergain * x;
    }
    F += (std::fabs(x) + 50 - F) * 0.0001;
    if (W < F) {
      float d = std::min((F - W) * (wet ? 0.06 : 0.0174), 0.54);
      K = 0.6 - d;
      W += (F - W) * 0.0009;
    } else {
      float d = std::min((W - F) * (wet ? 0.6 : 0.174), 0.8);
      K = 0.6 + d;
      W += (F - W) * 0.0001;
    }
    x = K * x;
    x = std::min(std::max(x, -32700.0f), 32700.0f);
    if (outputmode == 0) x = 0;
    float out = std::floor((1 - pan) * lastoutput + pan * x);
    lastoutput = x;
    return static_cast<int16_t>(std::min(std::max(out, -32768.0f), 32767.0f));
  }

  std::vector<int16_t> run(const std::vector<int16_t> &in, int frames) {
    std::vector<int16_t> out;
    for (size_t pos = 0; pos < in.size(); pos += 2 * frames) {
      int count = static_cast<int>(std::min<size_t>(2 * frames, in.size() - pos));
      for (int j = 0; j < count; ++j) out.push_back(sample(in[pos + j], j));
      frame += count / 2;
      if (inputmode < 99) {
        counter += count;
        if (counter > 4400) {
          counter = 0;
          vupeak = inputpeak / 32768;
          inputpeak = 1.0f;
        }
      }
    }
    return out;
  }
};

// Music-like test input: a chord with a moving envelope, noise, a loud stretch,
// and a silence.
std::vector<int16_t> testsignal(double seconds) {
  std::mt19937 rng(11);
  std::normal_distribution<double> noise(0, 200);
  size_t frames = static_cast<size_t>(seconds * 44100);
  std::vector<int16_t> s(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    double t = i / 44100.0;
    double env = t > 5 && t < 6 ? 6.0 : (t > 8 && t < 9 ? 0.0 : 0.6 + 0.4 * std::sin(2.1 * t));
    double v = env * 3000 * (std::sin(2 * M_PI * 196 * t) + std::sin(2 * M_PI * 247 * t) + std::sin(2 * M_PI * 294 * t));
    double l = std::clamp(v + noise(rng) + 400, -32768.0, 32767.0), r = std::clamp(0.6 * v + noise(rng), -32768.0, 32767.0);
    s[2 * i] = static_cast<int16_t>(std::floor(l));
    s[2 * i + 1] = static_cast<int16_t>(std::floor(r));
  }
  return s;
}

float halfgain(float x) { return 0.5f * x + 3.0f; }

struct Setting {
  const char *name;
  int frames;
  void (*apply)(Model &);
};

void compare(const Setting &s, const std::vector<int16_t> &input) {
  Model model;
  s.apply(model);
  startengine(0.0);
  engine.gain = model.gain;
  engine.testgain = model.testgain;
  engine.pan = model.pan;
  engine.wet = model.wet;
  engine.tplug = model.tplug;
  engine.inputmode = model.inputmode;
  engine.outputmode = model.outputmode;
  engine.starttime = model.starttime;
  static float (*plugin)(float);
  plugin = model.plugin;
  struct Bridge {
    static float QUARN_PLUGINCALL proc(float x) { return plugin(x); }
  };
  pluginslots[2].pluginproc = model.plugin ? Bridge::proc : nullptr;
  TestPlayback p(s.frames);
  p.run(input);
  pluginslots[2].pluginproc = nullptr;
  std::vector<int16_t> want = model.run(input, s.frames);
  ASSERT_EQ(p.output.size(), want.size()) << s.name;
  const size_t first = std::mismatch(want.begin(), want.end(), p.output.begin()).first - want.begin();
  EXPECT_EQ(first, want.size()) << s.name << ": first difference at sample " << first;
  EXPECT_EQ(engine.vupeak.load(), model.vupeak) << s.name;
  EXPECT_EQ(engine.autolevel.load(), model.autolevel) << s.name;
}

TEST(ChainReference, BitIdenticalToThePlainModel) {
  static const std::vector<int16_t> input = testsignal(10.0);
  const Setting settings[] = {
      {"defaults, 400-frame blocks", 400, [](Model &) {}},
      {"1500-frame blocks, pan 0.5", 1500, [](Model &m) { m.pan = 0.5f; }},
      {"odd block length, pan 2", 777, [](Model &m) { m.pan = 2.0f; }},
      {"wet with a plug-in", 400, [](Model &m) { m.wet = 1; m.plugin = halfgain; }},
      {"plug-in, tplug 0", 400, [](Model &m) { m.tplug = 0; m.plugin = halfgain; }},
      {"outputmode 99, gain 2", 1000, [](Model &m) { m.outputmode = 99; m.gain = 2.0f; }},
      {"test tone", 400, [](Model &m) { m.inputmode = 99; m.outputmode = 99; m.pan = 1.0f; }},
      {"low testgain", 400, [](Model &m) { m.testgain = 0.2f; m.gain = 3.0f; }},
      {"started earlier", 16000, [](Model &m) { m.starttime = -4.5; }},
      {"input off", 400, [](Model &m) { m.inputmode = 0; }},
  };
  for (const Setting &s : settings) compare(s, input);
}

}  // namespace
