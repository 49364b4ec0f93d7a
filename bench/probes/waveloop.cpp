// waveloop: the leanest loop on the waveform API, to show what the platform
// allows with nothing of ours in the path. Six capture buffers, six playback
// buffers; each captured block is copied into a free playback buffer and
// written, unless two are already queued (the product's two-block rule).
//   waveloop.exe --buffersize 441 --seconds 60 --wavein "Monitor of X" --waveout Y
// Threads: main (opens, prints, closes); the platform's callback thread (the rest).
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/probes/probekit.h"

namespace {

constexpr int nbuf = 6;
ProbeCounters counters;
HWAVEIN in;
HWAVEOUT out;
WAVEHDR inhdr[nbuf], outhdr[nbuf];
std::vector<int16_t> inmem, outmem;
std::atomic<int> busy[nbuf];      // playback buffer queued (callback sets, done clears)
std::atomic<int> running{0};      // capture buffers go back to the device
int current = 0;                  // playback rotation (callback thread)
int frames = 441;
double lastblock = -1e9;          // time of the latest captured block (callback thread)
DWORD raised = 0;                 // the thread raised to time-critical

void raiseonce() {
  if (GetCurrentThreadId() != raised) {
    raised = GetCurrentThreadId();
    raiseprobethread();
  }
}

void onblock(WAVEHDR *h) {
  const int got = static_cast<int>(h->dwBytesRecorded / 4);
  if (got > 0) {
    counters.captured.fetch_add(1, std::memory_order_relaxed);
    const double now = probeclock();
    if (now - lastblock < frames / 4.0 / 44100.0) counters.bunched.fetch_add(1, std::memory_order_relaxed);
    lastblock = now;
    counters.inpeak.store(blockpeakof(reinterpret_cast<int16_t *>(h->lpData), 2 * got), std::memory_order_relaxed);
    int freebuf = 0;
    for (auto &b : busy) freebuf += b.load(std::memory_order_acquire) == 0;
    if (freebuf < nbuf - 1) {
      counters.dropped.fetch_add(1, std::memory_order_relaxed);
    } else {
      int i = current;
      for (int tries = 0; tries < nbuf; ++tries) {
        i = (i + 1) % nbuf;
        if (busy[i].load(std::memory_order_acquire) == 0) break;
      }
      current = i;
      busy[i].store(1, std::memory_order_release);
      std::memcpy(outhdr[i].lpData, h->lpData, 4 * static_cast<size_t>(got));
      outhdr[i].dwBufferLength = 4 * got;
      waveOutWrite(out, &outhdr[i], sizeof(WAVEHDR));
      counters.processed.fetch_add(1, std::memory_order_relaxed);
    }
  }
  if (running.load()) waveInAddBuffer(in, h, sizeof(WAVEHDR));
}

void CALLBACK incallback(HWAVEIN, UINT msg, DWORD_PTR, DWORD_PTR p1, DWORD_PTR) {
  if (msg != WIM_DATA) return;
  raiseonce();
  onblock(reinterpret_cast<WAVEHDR *>(p1));
}

void CALLBACK outcallback(HWAVEOUT, UINT msg, DWORD_PTR, DWORD_PTR p1, DWORD_PTR) {
  if (msg != WOM_DONE) return;
  raiseonce();
  const WAVEHDR *h = reinterpret_cast<WAVEHDR *>(p1);
  int queued = 0;
  for (int i = 0; i < nbuf; ++i) {
    if (&outhdr[i] == h) busy[i].store(0, std::memory_order_release);
    queued += busy[i].load(std::memory_order_relaxed);
  }
  if (queued == 0 && running.load()) counters.underruns.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

int main(int argc, char **argv) {
  ProbeOptions o;
  if (!parseprobe(argc, argv, o, "waveloop")) return 2;
  const int din = probewavein(o.wavein), dout = probewaveout(o.waveout);
  if (din < -1 || dout < -1) {
    std::fprintf(stderr, "waveloop: no such device\n");
    return 2;
  }
  frames = o.buffersize;
  WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  const UINT idin = din < 0 ? WAVE_MAPPER : static_cast<UINT>(din);
  const UINT idout = dout < 0 ? WAVE_MAPPER : static_cast<UINT>(dout);
  if (waveOutOpen(&out, idout, &f, reinterpret_cast<DWORD_PTR>(outcallback), 0, CALLBACK_FUNCTION) ||
      waveInOpen(&in, idin, &f, reinterpret_cast<DWORD_PTR>(incallback), 0, CALLBACK_FUNCTION)) {
    std::fprintf(stderr, "waveloop: cannot open the devices\n");
    return 1;
  }
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  inmem.assign(static_cast<size_t>(nbuf) * 2 * frames, 0);
  outmem.assign(static_cast<size_t>(nbuf) * 2 * frames, 0);
  for (int i = 0; i < nbuf; ++i) {
    inhdr[i] = WAVEHDR{};
    inhdr[i].lpData = reinterpret_cast<LPSTR>(&inmem[static_cast<size_t>(i) * 2 * frames]);
    inhdr[i].dwBufferLength = 4 * frames;
    waveInPrepareHeader(in, &inhdr[i], sizeof(WAVEHDR));
    waveInAddBuffer(in, &inhdr[i], sizeof(WAVEHDR));
    outhdr[i] = WAVEHDR{};
    outhdr[i].lpData = reinterpret_cast<LPSTR>(&outmem[static_cast<size_t>(i) * 2 * frames]);
    outhdr[i].dwBufferLength = 4 * frames;
    waveOutPrepareHeader(out, &outhdr[i], sizeof(WAVEHDR));
  }
  running = 1;
  waveInStart(in);
  std::printf("waveloop: %d-frame blocks, capture %d, playback %d\n", frames, din, dout);
  std::fflush(stdout);
  runprobestatus("waveloop", o, counters, [] { return false; });
  running = 0;
  waveInReset(in);
  waveOutReset(out);
  for (int i = 0; i < nbuf; ++i) {
    waveInUnprepareHeader(in, &inhdr[i], sizeof(WAVEHDR));
    waveOutUnprepareHeader(out, &outhdr[i], sizeof(WAVEHDR));
  }
  waveInClose(in);
  waveOutClose(out);
  return 0;
}
