// livestatus.cpp: the status line of roomcaster_live and its summary at exit.
#include "app/live/livestatus.h"

#include <atomic>
#include <cmath>
#include <cstdio>

int blockpeak(const int16_t *samples, int count) {
  int peak = 0;
  for (int i = 0; i < count; ++i) {
    // The block belongs to the audio thread; a relaxed read sees each sample whole.
    int v = std::atomic_ref<int16_t>(const_cast<int16_t &>(samples[i])).load(std::memory_order_relaxed);
    if (v < 0) v = -v;
    if (v > peak) peak = v;
  }
  return peak;
}

std::string leveltext(int peak) {
  char text[32];
  if (peak <= 0) return "  -inf dB";
  std::snprintf(text, sizeof text, "%6.1f dB", 20.0 * std::log10(peak / 32768.0));
  return text;
}

std::string livestatusline(const LiveStatus &s) {
  char text[320];
  std::snprintf(text, sizeof text,
                "in %s  out %s  processed %u  dropped %u  underruns %u  starved %u  empty %u  bunched %u  gaps %u"
                "  lost %u  block %d",
                leveltext(s.inputpeak).c_str(), leveltext(s.outputpeak).c_str(), s.processed, s.dropped,
                s.underruns, s.starvedframes, s.queueempty, s.bunched, s.discontinuities, s.lostframes,
                s.buffersize);
  return text;
}

std::string livesummary(const LiveStatus &s, double seconds) {
  char text[400];
  std::snprintf(text, sizeof text,
                "roomcaster_live: %.1f s of %d-frame blocks: %u captured, %u processed, %u dropped, %u underruns"
                " (%u frames starved), %u queue empty, %u bunched, %u capture gaps (%u frames lost)",
                seconds, s.buffersize, s.captured, s.processed, s.dropped, s.underruns, s.starvedframes,
                s.queueempty, s.bunched, s.discontinuities, s.lostframes);
  return text;
}
