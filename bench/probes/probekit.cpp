// probekit.cpp: options, device names and the status line of the minimal loops.
#include "bench/probes/probekit.h"

#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool parseprobe(int argc, char **argv, ProbeOptions &o, const char *name) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s: %s needs a value\n", name, a.c_str());
      return false;
    }
    const char *v = argv[++i];
    if (a == "--buffersize") o.buffersize = std::atoi(v);
    else if (a == "--seconds") o.seconds = std::atoi(v);
    else if (a == "--wavein") o.wavein = v;
    else if (a == "--waveout") o.waveout = v;
    else if (a == "--stagger") o.stagger = std::atoi(v);
    else if (a == "--prime") o.prime = std::atoi(v);
    else {
      std::fprintf(stderr, "usage: %s [--buffersize FRAMES] [--seconds N] [--wavein NAME] [--waveout NAME] [--stagger MS] [--prime FRAMES]\n", name);
      return false;
    }
  }
  if (o.buffersize < 32 || o.buffersize > 16000 || o.seconds < 1) {
    std::fprintf(stderr, "%s: --buffersize takes 32..16000 frames, --seconds at least 1\n", name);
    return false;
  }
  return true;
}

int probewavein(const std::string &name) {
  if (name.empty()) return -1;
  for (UINT i = 0, n = waveInGetNumDevs(); i < n; ++i) {
    WAVEINCAPSA c;
    if (waveInGetDevCapsA(i, &c, sizeof c) == 0 && name.compare(0, sizeof c.szPname - 1, c.szPname) == 0)
      return static_cast<int>(i);
  }
  return -2;
}

int probewaveout(const std::string &name) {
  if (name.empty()) return -1;
  for (UINT i = 0, n = waveOutGetNumDevs(); i < n; ++i) {
    WAVEOUTCAPSA c;
    if (waveOutGetDevCapsA(i, &c, sizeof c) == 0 && name.compare(0, sizeof c.szPname - 1, c.szPname) == 0)
      return static_cast<int>(i);
  }
  return -2;
}

int blockpeakof(const int16_t *s, int count) {
  int peak = 0;
  for (int i = 0; i < count; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  return peak;
}

double probeclock() {
  static const double tick = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1.0 / static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * tick;
}

static std::string level(int peak) {
  char t[32];
  if (peak <= 0) return "  -inf dB";
  std::snprintf(t, sizeof t, "%6.1f dB", 20.0 * std::log10(peak / 32768.0));
  return t;
}

void printprobestatus(const ProbeOptions &o, const ProbeCounters &c) {
  // The loops pass the samples through: what comes in goes out.
  const std::string l = level(c.inpeak.load());
  std::printf("in %s  out %s  processed %u  dropped %u  underruns %u  bunched %u  block %d\n", l.c_str(), l.c_str(),
              c.processed.load(), c.dropped.load(), c.underruns.load(), c.bunched.load(), o.buffersize);
  std::fflush(stdout);
}
