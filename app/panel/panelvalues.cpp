// panelvalues.cpp: list entries, positions, choices, the status text and the level bars.
#include "app/panel/panelvalues.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/engine.h"

int32_t integerpart(double value) {
  if (std::isnan(value)) return 0;
  const double f = std::floor(value);
  if (f >= 2147483647.0) return 2147483647;
  if (f <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(f);
}

std::string gainentry(int position) { return "krev" + std::to_string(integerpart((position - 1) * 2.5)); }

std::string panentry(int position) { return "pan" + std::to_string(position - 1); }

std::string buffersizeentrytext(int position) {
  return "trev" + std::to_string(integerpart(buffersizeentry(position) / 44.1));
}

int32_t gainposition(float gain) { return integerpart(40.0 * gain + 1.01); }

int32_t panposition(float pan) { return integerpart(10.0 * pan + 1.01); }

int32_t buffersizeposition(int32_t buffersize) {
  const double tenth = buffersize / 10.0;
  int32_t k = integerpart((tenth - 150.0) / 50.0 + 1.01);
  if (k > 18) k = integerpart((tenth - 1000.0) / 100.0 + 18.01);
  return k;
}

int32_t deviceposition(int32_t device) { return integerpart(static_cast<double>(device) + 2.0); }

float gainofchoice(int k) { return static_cast<float>(std::max(0.0, std::min(3.0, (k - 1) / 40.0))); }

float panofchoice(int k) { return static_cast<float>(std::max(0.0, std::min(2.0, (k - 1) / 10.0))); }

int32_t buffersizeofchoice(int k) { return buffersizeentry(k); }

int32_t deviceofchoice(int k) { return std::max(-1, k - 2); }

int32_t nextcolor(int32_t color) {
  const int64_t next = (static_cast<int64_t>(color) + 1) % 4;
  return static_cast<int32_t>(next < 0 ? next + 4 : next);
}

std::string cutnumber(double value, int digits, int width) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return std::string(text).substr(0, static_cast<size_t>(width));
}

std::string statustext(const StatusValues &v) {
  std::string s = "freeout=" + std::to_string(v.freeout) + "/" + std::to_string(v.capturecount) + "/" +
                  std::to_string(std::abs(static_cast<int64_t>(v.firstsample))) + "\r\n";
  s += "testgain=" + cutnumber(v.testgain, 7, 5) + "\r\n";
  if (std::fabs(v.inputpeak) > 0.000001) s += "/aux2=" + cutnumber(v.inputpeak, 16, 6);
  return s;
}

LevelBars levelbars(float vupeak, float inputmeter, float testgain, int32_t play) {
  const double a = std::max(0.42 * std::log(vupeak + 0.1), -0.97);
  LevelBars bars{integerpart(45.0 * a + 45.0), 0};
  const double r = std::fabs(inputmeter / testgain / 32700.0);
  const double b = std::max(0.42 * std::log(r + 0.1), -0.97);
  bars.meter = integerpart(45.0 * b + 45.0);
  if (bars.meter > 65) bars.meter = 0;
  if (play == 0) bars = LevelBars{1, 0};
  return bars;
}
