// liveroom: the live howl test's room, offline. The whole engine chain runs
// as roomcaster_live runs it (its level control included), with howlcut in a
// plug-in slot or none; the loudspeaker's sound comes back to the microphone
// through the test's resonance (+12 dB at 1 kHz, Q 10) at a path gain, a
// round trip later, with the room's quiet pink noise. Each run is measured as
// the live test measures the loudspeaker: the strongest 1/6 octave of the
// last 10 s, its share of the power, the output's peak, and how many of the
// 10 seconds, each on its own, had one 1/6 octave holding an eighth of it.
//
//   liveroom [--pathgain 1.8] [--runs 10] [--seconds 20] [--roundtrip 2000]
//            [--q 10] [--sensitivity speech|mixed|music] [--out DIR] [--trace RUN]
//            [--replay FILE.wav]
//
// Each run (its own noise) goes once without and once with howlcut; a line
// per run gives both and the live test's verdict. --out keeps the
// loudspeaker's sound of each run (16-bit stereo raw, 44.1 kHz).
// The round trip is in frames from a sample's capture to its return; it is at
// least a block (1500 frames, as the live test's), which the engine holds
// before it plays. --trace RUN runs that run with howlcut alone and prints,
// every 0.5 s, the loudspeaker's peak, the level control's gains and the notches.
// --replay FILE.wav (a recording livehowl.sh kept with HOWL_KEEP) sends that
// loudspeaker's sound round the room once, open loop, into the engine with
// howlcut, traced as --trace does: what howlcut made of the live microphone,
// up to its first notch (after that the live loop would have changed).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/howlsim/fftconv.h"
#include "bench/howlsim/resonance.h"
#include "bench/howlsim/simrandom.h"
#include "engine/engine.h"
#include "engine/wavfile.h"
#include "howlcut/howlcutdsp.h"
#include "howlcut/howlcutstate.h"

namespace {

constexpr int blockframes = 1500;  // the live test's --buffersize

struct Options {
  double pathgain = 1.8, seconds = 20, q = 10;
  int runs = 10, roundtrip = 2000, sensitivity = howlmixed;
  int traced = -1;  // --trace RUN: that run alone, with howlcut, every 0.5 s
  std::string out;
  std::string replay;  // --replay FILE.wav: a recorded loudspeaker, sent round once (no loop)
};

// howlcut behind the plug-in contract, as the module's pluginproc is.
struct Cut {
  std::unique_ptr<HowlState> state = std::make_unique<HowlState>();
  HowlParams params;
  HowlDisplay display;
};
Cut* cut = nullptr;
float QUARN_PLUGINCALL cutproc(float x) { return howlproc(*cut->state, cut->params, cut->display, x); }

// The room's sound is then clipped to 16 bits, as sox and the server do.
double clip16(double v) { return std::clamp(std::round(v), -32768.0, 32767.0); }

// Pink noise (Paul Kellet's filter on white Gaussian noise), about 200 rms:
// sox's pinknoise at vol 0.02, as the test plays into the room.
struct Pink {
  SimRandom r;
  double b[7] = {};
  double next() {
    const double w = simgauss(r);
    b[0] = 0.99886 * b[0] + w * 0.0555179;
    b[1] = 0.99332 * b[1] + w * 0.0750759;
    b[2] = 0.96900 * b[2] + w * 0.1538520;
    b[3] = 0.86650 * b[3] + w * 0.3104856;
    b[4] = 0.55000 * b[4] + w * 0.5329522;
    b[5] = -0.7616 * b[5] - w * 0.0168980;
    const double p = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
    b[6] = w * 0.115926;
    return 60.0 * p;
  }
};

// The loudspeaker's sound, as the playback port hands it over.
std::vector<int16_t>* speaker = nullptr;
void queued(void* context, int index) {
  auto* port = static_cast<PlaybackPort*>(context);
  speaker->insert(speaker->end(), port->data[index], port->data[index] + 2 * port->bufferframes);
  port->busy[index] = 0;
}

// Every 0.5 s: the loudspeaker's peak over it, the level control's gains, and
// the notches in use.
void tracestep(int block, const std::vector<int16_t>& out, const HowlDisplay& display) {
  constexpr long step = 22050;
  const long end = static_cast<long>(out.size() / 2), start = end - blockframes;
  if (end / step == start / step) return;
  double peak = 0;
  for (long f = std::max(0L, end - step); f < end; ++f) peak = std::max(peak, std::fabs(static_cast<double>(out[2 * f])));
  const ChainMemories& m = engine.chain;
  std::printf("%5.1f s  peak %5.0f  autolevel %.3f trend %.2f limiter %.3f follower %.2f  notches:",
              (block + 1) * blockframes / 44100.0, peak, m.autolevel, m.trendgain, m.limitergain, m.followergain);
  for (const HowlNotchView& n : display.notch)
    if (n.frequency.load() > 0) std::printf(" %.0f Hz %.0f dB", n.frequency.load(), n.depth.load());
  std::printf("\n");
}

// One run: the loudspeaker's sound, interleaved. With a recording, the
// microphone hears that instead of what the engine plays: the loop is open.
std::vector<int16_t> runroom(const Options& o, uint64_t seed, bool withcut,
                             const std::vector<int16_t>* recorded = nullptr) {
  engineinit();
  engine.buffersize = blockframes;
  engineclock.streamclock = true;
  enginedevicesopened(0.0);  // 3 s of silence, then the fade-in, as at the start
  Cut c;
  cut = &c;
  howlstart(*c.state);
  c.params.sensitivity = o.sensitivity;
  pluginslots[1].pluginproc = withcut ? cutproc : nullptr;

  std::vector<int16_t> storage(6 * 2 * blockframes), out;
  std::atomic<int32_t> busy[6];
  int16_t* data[6];
  for (int i = 0; i < 6; ++i) data[i] = storage.data() + 2 * i * blockframes, busy[i] = 0;
  int current = 0;
  PlaybackPort port{6, blockframes, busy, &current, data, nullptr, queued, nullptr};
  port.context = &port;
  speaker = &out;
  engineplayback.store(&port);

  Resonance room(1000.0, o.q, 12.0);
  Pink noise[2] = {{SimRandom{seed}}, {SimRandom{seed + 1000}}};
  const int blocks = static_cast<int>(o.seconds * 44100 / blockframes);
  std::vector<int16_t> mic(2 * blockframes);
  for (int b = 0; b < blocks; ++b) {
    for (int f = 0; f < blockframes; ++f) {
      const long back = static_cast<long>(b) * blockframes + f - o.roundtrip;  // the frame played then
      const std::vector<int16_t>& source = recorded ? *recorded : out;
      for (int ch = 0; ch < 2; ++ch) {
        const double played = back >= 0 && 2 * back + ch < static_cast<long>(source.size()) ? source[2 * back + ch] : 0.0;
        const double returned = clip16(o.pathgain * room.step(ch, played));
        mic[2 * f + ch] = static_cast<int16_t>(clip16(noise[ch].next() + returned));
      }
    }
    processblock(mic.data(), 2 * blockframes);
    if (o.traced >= 0 && withcut) tracestep(b, out, c.display);
  }
  engineplayback.store(nullptr);
  pluginslots[1].pluginproc = nullptr;
  cut = nullptr;
  return out;
}

struct Howl {
  double hz = 0, share = -99, peak = 0;
  int howling = 0;  // seconds of the span in which one 1/6 octave held more than an eighth
};

// The live test's measure over n frames from `first`: the strongest bin above
// 100 Hz (Hann window), the share of the power above 50 Hz within 1/6 octave
// of it, and the peak of the channels' mean.
Howl measure(const std::vector<int16_t>& out, long first, long n) {
  int size = 1;
  while (size < n) size *= 2;
  std::vector<double> x(size, 0.0);
  Howl h;
  for (long i = 0; i < n; ++i) {
    const long f = first + i;
    const double v = (out[2 * f] + out[2 * f + 1]) / 2.0;
    h.peak = std::max(h.peak, std::fabs(v));
    x[i] = v * (0.5 - 0.5 * std::cos(2 * M_PI * i / (n - 1)));
  }
  std::vector<cplx> half, s(size / 2 + 1);
  realfft(x.data(), size, half, s.data());
  const double hz = 44100.0 / size;
  size_t top = 0;
  double total = 1e-30;
  for (size_t k = 0; k < s.size(); ++k) {
    if (k * hz > 50) total += std::norm(s[k]);
    if (k * hz > 100 && (top == 0 || std::norm(s[k]) > std::norm(s[top]))) top = k;
  }
  h.hz = top * hz;
  double band = 1e-30;
  for (size_t k = 0; k < s.size(); ++k)
    if (k * hz >= h.hz / std::pow(2.0, 1 / 12.0) && k * hz <= h.hz * std::pow(2.0, 1 / 12.0)) band += std::norm(s[k]);
  h.share = 10 * std::log10(band / total);
  return h;
}

// The same over the last 10 s, with the seconds of them howling each on its own.
Howl measure(const std::vector<int16_t>& out) {
  const long frames = static_cast<long>(out.size() / 2), n = std::min<long>(frames, 441000);
  Howl h = measure(out, frames - n, n);
  for (long at = frames - n; at + 44100 <= frames; at += 44100) h.howling += measure(out, at, 44100).share > -9;
  return h;
}

void keep(const Options& o, int run, const char* what, const std::vector<int16_t>& out) {
  if (o.out.empty()) return;
  const std::string path = o.out + "/run" + std::to_string(run) + "-" + what + ".raw";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(out.data(), sizeof(int16_t), out.size(), f);
    std::fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const bool more = i + 1 < argc;
    if (more && !std::strcmp(argv[i], "--pathgain")) o.pathgain = std::atof(argv[++i]);
    else if (more && !std::strcmp(argv[i], "--runs")) o.runs = std::atoi(argv[++i]);
    else if (more && !std::strcmp(argv[i], "--seconds")) o.seconds = std::atof(argv[++i]);
    else if (more && !std::strcmp(argv[i], "--roundtrip")) o.roundtrip = std::atoi(argv[++i]);
    else if (more && !std::strcmp(argv[i], "--q")) o.q = std::atof(argv[++i]);
    else if (more && !std::strcmp(argv[i], "--out")) o.out = argv[++i];
    else if (more && !std::strcmp(argv[i], "--trace")) o.traced = std::atoi(argv[++i]);
    else if (more && !std::strcmp(argv[i], "--replay")) o.replay = argv[++i];
    else if (more && !std::strcmp(argv[i], "--sensitivity")) {
      const char* s = argv[++i];
      o.sensitivity = !std::strcmp(s, "speech") ? howlspeech : !std::strcmp(s, "music") ? howlmusic : howlmixed;
    } else {
      std::fprintf(stderr,
                   "usage: liveroom [--pathgain G] [--runs N] [--seconds S] [--roundtrip FRAMES] [--q Q] "
                   "[--sensitivity speech|mixed|music] [--out DIR] [--trace RUN] [--replay FILE.wav]\n");
      return 2;
    }
  }
  if (o.roundtrip < blockframes || o.seconds < 12 || o.runs < 1) {
    std::fprintf(stderr, "liveroom: the round trip is at least %d frames, a run at least 12 s\n", blockframes);
    return 2;
  }
  if (!o.replay.empty()) {
    WavAudio wav;
    std::string error;
    if (!readwav(o.replay, wav, error) || wav.rate != 44100) {
      if (error.empty()) error = o.replay + ": not at 44.1 kHz";
      std::fprintf(stderr, "liveroom: %s\n", error.c_str());
      return 1;
    }
    const std::vector<int16_t>& recorded = wav.samples;
    o.seconds = static_cast<double>(recorded.size() / 2 + o.roundtrip) / 44100;
    o.traced = 0;
    runroom(o, 1, true, &recorded);
    return 0;
  }
  if (o.traced >= 0) {
    runroom(o, 1 + 2 * o.traced, true);
    return 0;
  }
  int howled = 0, passed = 0;
  for (int run = 0; run < o.runs; ++run) {
    const std::vector<int16_t> without = runroom(o, 1 + 2 * run, false), with = runroom(o, 1 + 2 * run, true);
    keep(o, run, "without", without);
    keep(o, run, "with", with);
    const Howl a = measure(without), b = measure(with);
    // The live test's verdict: a tone holds more than a quarter of the output
    // without howlcut; with it none holds more than an eighth in more than 2
    // of the seconds, and the peak is not twice as high.
    const bool howls = a.share > -6, quiet = b.howling <= 2 && b.peak < 2 * a.peak;
    howled += howls, passed += howls && quiet;
    std::printf("run %2d  without: %5.0f Hz %5.1f dB peak %5.0f%s   with: %5.0f Hz %5.1f dB peak %5.0f %2d s   %s\n",
                run, a.hz, a.share, a.peak, howls ? " howls" : "      ", b.hz, b.share, b.peak, b.howling,
                !howls ? "no test" : quiet ? "pass" : "FAIL");
  }
  std::printf("path gain %.2f, round trip %d frames: howled without howlcut in %d of %d runs; "
              "quiet with it in %d of those\n",
              o.pathgain, o.roundtrip, howled, o.runs, passed);
  return 0;
}
