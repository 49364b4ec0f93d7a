// ringoutlists.cpp: entries, values and positions of the window's five lists.
// Thread: the plug-in's window thread (callbacks and list filling).
#include "ringout/ringoutlists.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// "prefix" + hundredths as a number with two decimals: 105 gives "1.05".
std::string twodecimals(const char *prefix, int hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%d.%02d", prefix, hundredths / 100, hundredths % 100);
  return text;
}

}  // namespace

std::string ringoutlistentry(RingoutList list, int position) {
  if (position < 1 || position > ringoutlistcount[list]) return "";
  const int p = position;
  switch (list) {
  case gainlist: return "vol" + std::to_string(p > 9 ? 140 - 5 * p : 100 - p);
  case decaylist: return p == 1 ? "decayoff" : twodecimals("decay", 100 + 5 * (p - 1));
  case tdecaylist: return "tdecay" + std::to_string(5 * p);
  case kdecaylist: return twodecimals("kdec", 50 + (p - 1));
  case ratelist: return "rate" + std::to_string(105 - 5 * p) + "%";
  }
  return "";
}

float ringoutlistvalue(RingoutList list, int position) {
  const int p = position;
  switch (list) {
  case gainlist: return static_cast<float>(p > 9 ? 140 - 5 * p : 100 - p);
  case decaylist: return static_cast<float>((p - 1) * 0.05 + 1.0);
  case tdecaylist: return static_cast<float>(5 * p);
  case kdecaylist: return static_cast<float>((p - 1) * 0.01 + 0.5);
  case ratelist: return static_cast<float>((21 - p) * 0.05);
  }
  return 0.0f;
}

int ringoutlistposition(RingoutList list, const RingoutParams &params) {
  double position = 0.0;
  switch (list) {
  case gainlist: {
    const double gain = params.gain.load(relaxed);
    position = gain > 90 ? std::floor(100.1 - gain) : std::floor(28.1 - gain / 5);
    break;
  }
  case decaylist: position = std::floor(20 * static_cast<double>(params.decay.load(relaxed)) - 18.99); break;
  case tdecaylist: position = std::floor(params.tdecay.load(relaxed) / 5.0 + 0.01); break;
  case kdecaylist: position = std::floor((params.kdecay.load(relaxed) - 0.5) / 0.01 + 1.01); break;
  case ratelist: position = std::floor(21.1 - params.rate.load(relaxed) / 0.05); break;
  }
  // A value from a hand-edited file can lie anywhere (even far beyond an
  // integer); every position outside the list selects nothing.
  if (!(position >= 1 && position <= ringoutlistcount[list])) return 0;
  return static_cast<int>(position);
}
