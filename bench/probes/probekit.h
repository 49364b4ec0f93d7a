// probekit.h: what the two minimal loops share, so each file shows only its audio path.
//
//   ProbeOptions o; if (!parseprobe(argc, argv, o)) return 2;   // --buffersize --seconds --wavein --waveout
//   ProbeCounters counters;                                    // the audio thread counts, main reads
//   runprobestatus(o, counters, [] { return false; });          // a status line a second until done
//
// The loops stand apart from the product: no engine, no plug-ins, no code of
// the device objects. Their status line has the form of roomcaster_live's, so
// tools/latency.sh measures all three the same way:
//   in  -12.0 dB  out  -18.1 dB  processed 3307  dropped 0  underruns 0  bunched 0  block 441
#pragma once
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdint>
#include <string>

struct ProbeOptions {
  int buffersize = 441;     // frames per block
  int seconds = 60;         // run time
  std::string wavein;       // capture device: waveform product name, or "" for the default
  std::string waveout;      // playback device: waveform product name, or "" for the default
  int stagger = 0;          // ms the playback stream starts before the capture stream
  int prime = 0;            // frames of silence written ahead of the first block
};

struct ProbeCounters {
  std::atomic<uint32_t> captured{0};   // blocks captured whole
  std::atomic<uint32_t> processed{0};  // blocks queued for playback
  std::atomic<uint32_t> dropped{0};    // blocks that found two already queued
  std::atomic<uint32_t> underruns{0};  // times the playback queue ran empty
  std::atomic<uint32_t> bunched{0};    // blocks completed within a quarter block of the one before
  std::atomic<int> inpeak{0};          // largest |sample| of the latest block
};

bool parseprobe(int argc, char **argv, ProbeOptions &o, const char *name);
// The waveform device number with this product name; -1 (the default) for "";
// -2 when there is none.
int probewavein(const std::string &name);
int probewaveout(const std::string &name);
int blockpeakof(const int16_t *s, int count);
// Prints a status line about once a second until `seconds` pass or done() holds,
// then a summary. Main thread.
template <class Done>
void runprobestatus(const char *name, const ProbeOptions &o, const ProbeCounters &c, Done done);
// The audio thread to time-critical priority, as the product's callback threads.
inline void raiseprobethread() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL); }
// Seconds on the performance counter.
double probeclock();
void printprobestatus(const ProbeOptions &o, const ProbeCounters &c);

template <class Done>
void runprobestatus(const char *name, const ProbeOptions &o, const ProbeCounters &c, Done done) {
  const double start = probeclock();
  double next = start + 1.0;
  while (!done() && probeclock() - start < o.seconds) {
    Sleep(20);
    if (probeclock() >= next) {
      next += 1.0;
      printprobestatus(o, c);
    }
  }
  std::printf("%s: %.1f s of %d-frame blocks: %u captured, %u processed, %u dropped, %u underruns, %u bunched\n", name,
              probeclock() - start, o.buffersize, c.captured.load(), c.processed.load(), c.dropped.load(),
              c.underruns.load(), c.bunched.load());
  std::fflush(stdout);
}
