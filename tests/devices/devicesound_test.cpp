// The devices and roomcaster_live against the sound server, under Wine.
//
// The test builds its own room from two null sinks with unique names, "mic" and
// "speaker", so other users of the server are not disturbed and no default is
// changed: a tone played into mic reaches the capture side through mic's monitor,
// and what the playback side plays into speaker is recorded from speaker's
// monitor. The sinks go again at the end. Without a sound server the tests skip.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <vector>

#include "engine/wavedevices.h"
#include "hostshell.h"

namespace {

// The averaging comb adds each sample to the one 2000 frames older: 441 Hz
// (20 periods in 2000 frames) passes whole, 452.025 Hz (20.5 periods) cancels.
// Both are played at the same level; only the chain tells them apart.
constexpr double pi = 3.14159265358979323846, passtone = 441.0, notchtone = 452.025;

struct Room {
  std::string whynot = "not set up";  // empty when ready
  std::string mic, speaker, modules, tone;
} room;

class RoomEnvironment : public ::testing::Environment {
  // Runs before the first waveform call, which lists the devices once per process.
  void SetUp() override {
    if (hostshell("pactl info", 10000).status != 0) {
      room.whynot = "no sound server reachable (pactl info failed, or no host shell)";
      return;
    }
    const std::string id = std::to_string(GetCurrentProcessId());
    room.mic = "quarnmic" + id, room.speaker = "quarnspk" + id, room.tone = hostpath("tone.wav");
    for (const std::string &sink : {room.mic, room.speaker}) {
      HostResult r = hostshell("pactl load-module module-null-sink sink_name=" + sink +
                               " sink_properties=device.description=" + sink);
      if (r.status != 0) return void(room.whynot = "the sound server refused a null sink: " + r.output);
      room.modules += " " + r.output.substr(0, r.output.find('\n'));
    }
    // 20 s of the two tones at 6000 each, both channels.
    std::vector<int16_t> pcm(2 * 20 * 44100);
    for (size_t f = 0; f < pcm.size() / 2; ++f) {
      double t = f / 44100.0;
      pcm[2 * f] = pcm[2 * f + 1] = static_cast<int16_t>(
          std::lround(6000 * std::sin(2 * pi * passtone * t) + 6000 * std::sin(2 * pi * notchtone * t)));
    }
    const uint32_t bytes = static_cast<uint32_t>(2 * pcm.size());
    const uint32_t header[11] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16, 0x00020001,
                                 44100, 176400, 0x00100004, 0x61746164, bytes};  // RIFF WAVE fmt data
    std::ofstream f(windowspath(room.tone), std::ios::binary);
    f.write(reinterpret_cast<const char *>(header), sizeof header);
    f.write(reinterpret_cast<const char *>(pcm.data()), bytes);
    room.whynot = f ? "" : "cannot write the tone file";
  }
  void TearDown() override {
    for (size_t at = 0; (at = room.modules.find(' ', at)) != std::string::npos; ++at)
      hostshell("pactl unload-module " + room.modules.substr(at + 1, room.modules.find(' ', at + 1) - at - 1));
    removehostscratch();
  }
};
const auto *environment = ::testing::AddGlobalTestEnvironment(new RoomEnvironment);

#define NEED_ROOM() \
  if (!room.whynot.empty()) GTEST_SKIP() << room.whynot

// The tone playing into mic while speaker's monitor is recorded, both in the background.
struct Session {
  std::string raw, pids;
  explicit Session(const std::string &name) : raw(hostpath(name + ".raw")), pids(hostpath(name + ".pids")) {
    hostshell("parec -d " + room.speaker + ".monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=50 >" +
              raw + " & echo $! >" + pids + "\npaplay -d " + room.mic + " " + room.tone + " & echo $! >>" + pids);
  }
  // Stops the two processes started above; the left channel of the recording.
  std::vector<int16_t> stop() {
    hostshell("kill $(cat " + pids + "); sleep 0.3");
    std::ifstream f(windowspath(raw), std::ios::binary);
    std::vector<int16_t> left;
    for (int16_t frame[2]; f.read(reinterpret_cast<char *>(frame), sizeof frame);) left.push_back(frame[0]);
    return left;
  }
};

// Amplitude of one frequency in n frames from `start`, Hann-windowed so that the
// neighbouring tone does not leak in.
double amplitude(const std::vector<int16_t> &x, size_t start, size_t n, double hz) {
  double re = 0, im = 0, wsum = 0;
  for (size_t k = 0; k < n; ++k) {
    double w = 0.5 - 0.5 * std::cos(2 * pi * k / (n - 1)), ph = 2 * pi * hz * k / 44100.0;
    re += w * x[start + k] * std::cos(ph), im += w * x[start + k] * std::sin(ph), wsum += w;
  }
  return 2 * std::sqrt(re * re + im * im) / wsum;
}

// The cleanest half second: of the windows where the passed tone is clearly there,
// the one where it stands highest above the cancelled one. A loaded machine drops
// a block now and then, and each gap splashes both tones.
void expectcombedtone(const std::vector<int16_t> &x) {
  double pass = 0, notch = 0;
  for (size_t s = 0, n = 22050; s + n <= x.size(); s += n / 5) {
    double p = amplitude(x, s, n, passtone), q = amplitude(x, s, n, notchtone);
    if (p > 20 && p * notch >= pass * q) pass = p, notch = q;
  }
  EXPECT_GT(pass, 20.0) << "the tone did not come out (" << x.size() << " frames recorded)";
  EXPECT_LT(notch * 8, pass) << "the averaging comb did not act: 441 Hz " << pass << ", 452.025 Hz " << notch;
}

TEST(SoundDevices, MinusOneOpensTheDefaultsAndMissingNumbersStayClosed) {
  NEED_ROOM();
  engineinit();
  engine.buffersize = 1500;
  engine.quitrequest = 1;  // nothing is played into the shared default sink
  static waveout_DEVICE out;
  static WAVEIN_DEVICE in;
  for (int device : {static_cast<int>(waveInGetNumDevs() + waveOutGetNumDevs()) + 7, -2}) {
    createwaveout(out, device);
    createwavein(in, device);
    EXPECT_EQ(out.open + in.open, 0) << device;
    EXPECT_EQ(out.headers, nullptr);
    EXPECT_EQ(engineplayback.load(), nullptr);
    destroywavein(in);
    destroywaveout(out);
  }
  createwaveout(out, -1);
  createwavein(in, -1);
  EXPECT_EQ(out.running + in.running, 2);
  EXPECT_EQ(engineplayback.load(), &out.port);
  capturedcount = 0;
  for (int i = 0; i < 250 && capturedcount == 0; ++i) Sleep(20);
  EXPECT_EQ(capturedcount.load(), 3000) << "no full block from the default capture device in 5 s";
  destroywavein(in);
  destroywaveout(out);
  EXPECT_EQ(out.open + in.open, 0);
  EXPECT_EQ(engineplayback.load(), nullptr);
}

// Counts, for every block processblock queues, the buffers busy with it included.
struct QueueWatch {
  waveout_DEVICE *device;
  PlaybackPort real;
  std::atomic<int> queued{0}, mostbusy{0};
} watch;

void watchedqueue(void *, int index) {
  int busy = 0;
  for (auto &b : watch.device->busy) busy += b != 0;
  watch.mostbusy = std::max(watch.mostbusy.load(), busy);
  ++watch.queued;
  watch.real.queue(watch.real.context, index);
}

TEST(SoundDevices, ToneIntoCaptureComesOutOfPlaybackThroughTheChain) {
  NEED_ROOM();
  const int mic = findwavein(("Monitor of " + room.mic).c_str()), speaker = findwaveout(room.speaker.c_str());
  ASSERT_GE(mic, 0);
  ASSERT_GE(speaker, 0);
  engineinit();
  engine.buffersize = 1500;
  static waveout_DEVICE out;
  static WAVEIN_DEVICE in;
  Session session("chain");
  createwaveout(out, speaker);
  ASSERT_EQ(engineplayback.exchange(nullptr), &out.port);
  watch.device = &out, watch.real = out.port;
  out.port.queue = watchedqueue;
  engineplayback = &out.port;
  createwavein(in, mic);
  enginedevicesopened(liveclock() - 6);  // past the start-up silence and fade-in
  Sleep(5000);
  destroywavein(in);
  destroywaveout(out);
  expectcombedtone(session.stop());
  EXPECT_GT(watch.queued.load(), 40) << "up to 29 blocks a second can be played";
  EXPECT_LE(watch.mostbusy.load(), 2) << "more than two blocks were queued for playback";
}

// The program, on devices given by name, from start-up until it ends by itself:
// 3 s of silence, a 3 s fade-in, then the processed tone. (Enter and Ctrl+C stop it
// too, but Wine does not hand a pipe to a console child reliably under CTest.)
TEST(SoundDevices, LiveProgramCarriesTheToneAndEndsByItself) {
  NEED_ROOM();
  std::string commandline = "\"" + windowspath(QUARN_LIVE_EXE) + "\" --seconds 8 --buffersize 1500 --wavein \"Monitor of " +
                            room.mic + "\" --waveout " + room.speaker;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  Session session("live");
  ASSERT_TRUE(CreateProcessA(nullptr, commandline.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  const DWORD waited = WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1234;
  GetExitCodeProcess(pi.hProcess, &code);
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
  CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  std::vector<int16_t> left = session.stop();
  ASSERT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "roomcaster_live --seconds 8 did not end within 60 s";
  EXPECT_EQ(code, 0u);
  expectcombedtone(left);
}

}  // namespace
