// The device objects and roomcaster_live against a PulseAudio server, under Wine.
//
// The test makes its own room: two null sinks, "mic" and "speaker" (unique names,
// so other users of the same sound server are not disturbed, and no default is
// changed). A tone played into mic reaches the capture side through mic's
// monitor; what the playback side plays into speaker is recorded from speaker's
// monitor. Everything is removed again at the end. Without a sound server the
// tests skip.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cmath>
#include <fstream>
#include <vector>

#include "engine/wavedevices.h"
#include "hostshell.h"

namespace {

// The averaging comb adds each sample to the one 2000 frames older: 441 Hz
// (20 periods in 2000 frames) passes whole, 452.025 Hz (20.5 periods) cancels.
// Both are played at equal level; only the chain tells them apart.
constexpr double pi = 3.14159265358979323846;
constexpr double passtone = 441.0;
constexpr double notchtone = 452.025;

struct Room {
  bool ready = false;
  std::string whynot;       // reason to skip when not ready
  std::string mic, speaker; // sink names
  std::string micmodule, speakermodule;
  std::string tone;         // host path of the tone file
};
Room room;

std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

// 20 s of the two tones, each at 6000, on both channels, as a WAV file.
bool writetone(const std::string &windows) {
  const int n = 20 * 44100;
  std::vector<int16_t> pcm(2 * n);
  for (int f = 0; f < n; ++f) {
    double t = f / 44100.0;
    double v = 6000 * std::sin(2 * pi * passtone * t) + 6000 * std::sin(2 * pi * notchtone * t);
    pcm[2 * f] = pcm[2 * f + 1] = static_cast<int16_t>(std::lround(v));
  }
  auto u32 = [](std::ofstream &f, uint32_t v) { f.write(reinterpret_cast<const char *>(&v), 4); };
  auto u16 = [](std::ofstream &f, uint16_t v) { f.write(reinterpret_cast<const char *>(&v), 2); };
  std::ofstream f(windows, std::ios::binary);
  const uint32_t bytes = static_cast<uint32_t>(pcm.size() * 2);
  f.write("RIFF", 4), u32(f, 36 + bytes), f.write("WAVEfmt ", 8), u32(f, 16);
  u16(f, 1), u16(f, 2), u32(f, 44100), u32(f, 176400), u16(f, 4), u16(f, 16);
  f.write("data", 4), u32(f, bytes);
  f.write(reinterpret_cast<const char *>(pcm.data()), bytes);
  return static_cast<bool>(f);
}

class RoomEnvironment : public ::testing::Environment {
 public:
  // Runs before any test touches the waveform interface, which lists the
  // devices once per process: the sinks must exist by then.
  void SetUp() override {
    if (!hostshellavailable()) {
      room.whynot = "no host shell reachable from this process";
      return;
    }
    if (hostshell("pactl info", 10000).status != 0) {
      room.whynot = "no sound server reachable (pactl info failed)";
      return;
    }
    const std::string id = std::to_string(GetCurrentProcessId());
    room.mic = "quarnmic" + id;
    room.speaker = "quarnspk" + id;
    auto load = [](const std::string &name) {
      HostResult r = hostshell("pactl load-module module-null-sink sink_name=" + name +
                               " sink_properties=device.description=" + name);
      return r.status == 0 ? trimmed(r.output) : std::string();
    };
    room.micmodule = load(room.mic);
    room.speakermodule = load(room.speaker);
    room.tone = hostpath("tone.wav");
    if (room.micmodule.empty() || room.speakermodule.empty()) {
      room.whynot = "the sound server refused a null sink";
      return;
    }
    if (!writetone(windowspath(room.tone))) {
      room.whynot = "cannot write the tone file";
      return;
    }
    room.ready = true;
  }
  void TearDown() override {
    for (const std::string &m : {room.micmodule, room.speakermodule})
      if (!m.empty()) hostshell("pactl unload-module " + m, 10000);
    removehostscratch();
  }
};
const auto *environment = ::testing::AddGlobalTestEnvironment(new RoomEnvironment);

int findwavein(const std::string &name) {
  for (UINT i = 0, n = waveInGetNumDevs(); i < n; ++i) {
    WAVEINCAPSA c;
    if (waveInGetDevCapsA(i, &c, sizeof c) == 0 && name == c.szPname) return static_cast<int>(i);
  }
  return -100;
}

int findwaveout(const std::string &name) {
  for (UINT i = 0, n = waveOutGetNumDevs(); i < n; ++i) {
    WAVEOUTCAPSA c;
    if (waveOutGetDevCapsA(i, &c, sizeof c) == 0 && name == c.szPname) return static_cast<int>(i);
  }
  return -100;
}

// A background recording of speaker's monitor, with the tone playing into mic.
struct Session {
  std::string recording, pids;

  explicit Session(const std::string &name) : recording(hostpath(name + ".raw")), pids(hostpath(name + ".pids")) {
    hostshell("parec -d " + room.speaker + ".monitor --raw --format=s16le --rate=44100 --channels=2"
              " --latency-msec=50 >" + recording + " 2>/dev/null & echo $! >" + pids + "\n"
              "paplay -d " + room.mic + " " + room.tone + " >/dev/null 2>&1 & echo $! >>" + pids);
  }
  // Stops both (only the two processes started above) and returns the left channel.
  std::vector<int16_t> stop() {
    hostshell("kill $(cat " + pids + ") 2>/dev/null; sleep 0.3; true");
    std::ifstream f(windowspath(recording), std::ios::binary);
    std::vector<int16_t> left;
    int16_t frame[2];
    while (f.read(reinterpret_cast<char *>(frame), sizeof frame)) left.push_back(frame[0]);
    return left;
  }
};

// Amplitude of one frequency in n frames from `start`, Hann-windowed so the
// neighbouring tone does not leak in.
double amplitude(const std::vector<int16_t> &x, size_t start, size_t n, double hz) {
  double re = 0, im = 0, wsum = 0;
  for (size_t k = 0; k < n; ++k) {
    double w = 0.5 - 0.5 * std::cos(2 * pi * k / (n - 1));
    double ph = 2 * pi * hz * k / 44100.0;
    re += w * x[start + k] * std::cos(ph);
    im += w * x[start + k] * std::sin(ph);
    wsum += w;
  }
  return 2 * std::sqrt(re * re + im * im) / wsum;
}

struct Tones {
  double pass = 0, notch = 0;
};

// The cleanest half second of the recording: of the windows where the passed tone
// is clearly there, the one where it stands highest above the cancelled one. A
// loaded machine drops blocks now and then, and each gap splashes both tones.
Tones cleanestwindow(const std::vector<int16_t> &x) {
  const size_t n = 22050;
  Tones best;
  for (size_t s = 0; s + n <= x.size(); s += n / 5) {
    Tones t{amplitude(x, s, n, passtone), amplitude(x, s, n, notchtone)};
    if (t.pass > 20 && t.pass * best.notch >= best.pass * t.notch) best = t;
  }
  return best;
}

int loudest(const std::vector<int16_t> &x) {
  int m = 0;
  for (int16_t v : x) m = std::max(m, std::abs(static_cast<int>(v)));
  return m;
}

#define NEED_ROOM() \
  if (!room.ready) GTEST_SKIP() << room.whynot

// ---- opening and closing real devices --------------------------------------

TEST(SoundDevices, DefaultDevicesOpenDeliverBlocksAndClose) {
  NEED_ROOM();
  engineinit();
  engine.buffersize = 1500;
  engine.quitrequest = 1;  // nothing is played into the shared default sink
  static waveout_DEVICE out;
  static WAVEIN_DEVICE in;
  createwaveout(out, -1);
  createwavein(in, -1);
  EXPECT_EQ(out.open, 1);
  EXPECT_EQ(out.running, 1);
  EXPECT_EQ(engineplayback.load(), &out.port);
  EXPECT_EQ(in.open, 1);
  EXPECT_EQ(in.running, 1);
  capturedcount = 0;
  for (int i = 0; i < 250 && capturedcount == 0; ++i) Sleep(20);
  EXPECT_EQ(capturedcount.load(), 3000) << "the default capture device delivered no full block in 5 s";
  destroywavein(in);
  destroywaveout(out);
  EXPECT_EQ(in.open, 0);
  EXPECT_EQ(out.open, 0);
  EXPECT_EQ(engineplayback.load(), nullptr);
  EXPECT_EQ(capturedblock.load(), nullptr);
}

TEST(SoundDevices, DeviceNumbersThatDoNotExistLeaveTheObjectsClosed) {
  NEED_ROOM();
  engineinit();
  const int beyond[] = {static_cast<int>(waveInGetNumDevs() + waveOutGetNumDevs()) + 7, 1000, -2};
  for (int device : beyond) {
    static waveout_DEVICE out;
    static WAVEIN_DEVICE in;
    createwaveout(out, device);
    createwavein(in, device);
    EXPECT_EQ(out.open, 0) << device;
    EXPECT_EQ(in.open, 0) << device;
    EXPECT_EQ(out.headers, nullptr) << device;
    EXPECT_EQ(in.headers, nullptr) << device;
    EXPECT_EQ(engineplayback.load(), nullptr) << device;
    destroywavein(in);
    destroywaveout(out);
  }
}

// ---- sound through the chain ------------------------------------------------

// Watches every block processblock queues: how many buffers are busy with it.
struct QueueWatch {
  waveout_DEVICE *device;
  void (*queue)(void *, int);
  void *context;
  std::atomic<int> queued{0}, mostbusy{0};
};

void watchedqueue(void *context, int index) {
  QueueWatch &w = *static_cast<QueueWatch *>(context);
  int busy = 0;
  for (auto &b : w.device->busy) busy += b.load() != 0;  // this block's buffer included
  if (busy > w.mostbusy) w.mostbusy = busy;
  ++w.queued;
  w.queue(w.context, index);
}

TEST(SoundDevices, ToneIntoCaptureComesOutOfPlaybackThroughTheChain) {
  NEED_ROOM();
  const int mic = findwavein("Monitor of " + room.mic), speaker = findwaveout(room.speaker);
  ASSERT_GE(mic, 0) << "capture device for " << room.mic << " not listed";
  ASSERT_GE(speaker, 0) << "playback device " << room.speaker << " not listed";

  engineinit();
  engine.buffersize = 1500;
  engineclock.now = liveclock;
  static waveout_DEVICE out;
  static WAVEIN_DEVICE in;
  Session session("chain");
  createwaveout(out, speaker);
  ASSERT_EQ(engineplayback.load(), &out.port);
  static QueueWatch watch;
  watch.device = &out, watch.queue = out.port.queue, watch.context = out.port.context;
  engineplayback = nullptr;
  out.port.queue = watchedqueue, out.port.context = &watch;
  engineplayback = &out.port;

  createwavein(in, mic);
  enginedevicesopened(liveclock() - 6);  // past the start-up silence and fade-in
  Sleep(5000);
  destroywavein(in);
  Sleep(100);
  destroywaveout(out);
  std::vector<int16_t> left = session.stop();

  EXPECT_GT(watch.queued.load(), 40) << "about 29 blocks a second should have been played";
  EXPECT_GE(watch.mostbusy.load(), 1);
  EXPECT_LE(watch.mostbusy.load(), 2) << "more than two blocks were queued for playback";
  Tones t = cleanestwindow(left);
  EXPECT_GT(t.pass, 20.0) << "the tone did not come out of the playback side (" << left.size()
                          << " frames recorded, loudest " << loudest(left) << ")";
  EXPECT_LT(t.notch * 8, t.pass) << "the averaging comb did not act: pass " << t.pass << ", notch " << t.notch;
  std::printf("chain: %d blocks played, at most %d queued; out 441 Hz %.1f, 452.025 Hz %.1f\n",
              watch.queued.load(), watch.mostbusy.load(), t.pass, t.notch);
}

TEST(SoundDevices, LiveProgramCarriesTheToneAndEndsByItself) {
  NEED_ROOM();
  // Device numbers differ from one process to the next, so the program gets names.
  Session session("live");
  std::string commandline = "\"" + windowspath(QUARN_LIVE_EXE) + "\" --seconds 8 --buffersize 1500 --wavein \"Monitor of " +
                            room.mic + "\" --waveout " + room.speaker;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandline.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      << commandline;
  DWORD waited = WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1234;
  GetExitCodeProcess(pi.hProcess, &code);
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  std::vector<int16_t> left = session.stop();

  ASSERT_EQ(waited, WAIT_OBJECT_0) << "roomcaster_live --seconds 8 did not end within 60 s";
  EXPECT_EQ(code, 0u);
  // 3 s of silence and a 3 s fade-in, then two seconds at full level.
  Tones t = cleanestwindow(left);
  EXPECT_GT(t.pass, 20.0) << "roomcaster_live played nothing of the tone (" << left.size()
                          << " frames recorded, loudest " << loudest(left) << ")";
  EXPECT_LT(t.notch * 8, t.pass) << "pass " << t.pass << ", notch " << t.notch;
  std::printf("live: out 441 Hz %.1f, 452.025 Hz %.1f\n", t.pass, t.notch);
}

}  // namespace

namespace {

// Devices that do not exist leave the program running quietly until Enter.
TEST(LiveProgram, EnterStopsItEvenWithoutDevices) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readend = nullptr, writeend = nullptr;
  ASSERT_TRUE(CreatePipe(&readend, &writeend, &sa, 0));
  SetHandleInformation(writeend, HANDLE_FLAG_INHERIT, 0);
  std::string commandline = "\"" + windowspath(QUARN_LIVE_EXE) + "\" --wavein 1000 --waveout 1000";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = readend;
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandline.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(readend);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 1500), static_cast<DWORD>(WAIT_TIMEOUT))
      << "it ended before Enter was pressed";
  DWORD written = 0;
  WriteFile(writeend, "\n", 1, &written, nullptr);
  DWORD waited = WaitForSingleObject(pi.hProcess, 20000);
  DWORD code = 1234;
  GetExitCodeProcess(pi.hProcess, &code);
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
  CloseHandle(writeend);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "Enter did not stop roomcaster_live";
  EXPECT_EQ(code, 0u);
}

}  // namespace
