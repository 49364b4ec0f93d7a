// The devices and roomcaster_live against the sound server, under Wine.
//
// The test builds its own room from two null sinks with unique names, "mic" and
// "speaker", so other users of the server are not disturbed and no default is
// changed: a tone played into mic reaches the capture side through mic's monitor,
// and what the playback side plays into speaker is recorded from speaker's
// monitor. The sinks go again at the end. Without a sound server the test skips.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "engine/wavfile.h"
#include "hostshell.h"

namespace {

// The averaging comb adds each sample to the one 2000 frames older: 441 Hz
// (20 periods in 2000 frames) passes whole, 452.025 Hz (20.5 periods) cancels.
// Both are played at the same level; only the chain tells them apart.
constexpr double pi = 3.14159265358979323846, passtone = 441.0, notchtone = 452.025;

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

// The sinks loaded for this test, unloaded with the scratch files at its end.
struct Room {
  std::string modules;
  ~Room() {
    for (size_t at = 0; (at = modules.find(' ', at)) != std::string::npos; ++at)
      hostshell("pactl unload-module " + modules.substr(at + 1, modules.find(' ', at + 1) - at - 1));
    removehostscratch();
  }
};

// The program, on devices given by name, from start-up until it ends by itself:
// 3 s of silence, a 3 s fade-in, then the processed tone. (Enter and Ctrl+C stop it
// too, but Wine does not hand a pipe to a console child reliably under CTest.)
TEST(SoundDevices, LiveProgramCarriesTheToneThroughTheChainAndEndsByItself) {
  if (hostshell("pactl info", 10000).status != 0) GTEST_SKIP() << "no sound server reachable (or no host shell)";
  Room room;
  const std::string id = std::to_string(GetCurrentProcessId()), mic = "quarnmic" + id, speaker = "quarnspk" + id;
  for (const std::string &sink : {mic, speaker}) {
    HostResult r = hostshell("pactl load-module module-null-sink sink_name=" + sink +
                             " sink_properties=device.description=" + sink);
    ASSERT_EQ(r.status, 0) << "the sound server refused a null sink: " << r.output;
    room.modules += " " + r.output.substr(0, r.output.find('\n'));
  }
  // 20 s of the two tones at 6000 each, both channels.
  std::vector<int16_t> pcm(2 * 20 * 44100);
  for (size_t f = 0; f < pcm.size() / 2; ++f) {
    double t = f / 44100.0;
    pcm[2 * f] = pcm[2 * f + 1] = static_cast<int16_t>(
        std::lround(6000 * std::sin(2 * pi * passtone * t) + 6000 * std::sin(2 * pi * notchtone * t)));
  }
  const std::vector<uint8_t> wav = encodewav(pcm);
  const std::string tone = hostpath("tone.wav"), raw = hostpath("out.raw"), pids = hostpath("pids");
  ASSERT_TRUE(std::ofstream(windowspath(tone), std::ios::binary)
                  .write(reinterpret_cast<const char *>(wav.data()), static_cast<std::streamsize>(wav.size())));

  // The tone playing into mic while speaker's monitor is recorded, both in the background.
  hostshell("parec -d " + speaker + ".monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=50 >" +
            raw + " & echo $! >" + pids + "\npaplay -d " + mic + " " + tone + " & echo $! >>" + pids);
  std::string commandline = "\"" + windowspath(QUARN_LIVE_EXE) + "\" --seconds 8 --buffersize 1500 --wavein \"Monitor of " +
                            mic + "\" --waveout " + speaker;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  BOOL started = CreateProcessA(nullptr, commandline.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  const DWORD waited = started ? WaitForSingleObject(pi.hProcess, 60000) : WAIT_FAILED;
  DWORD code = 1234;
  if (started) {
    GetExitCodeProcess(pi.hProcess, &code);
    if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  }
  hostshell("kill $(cat " + pids + "); sleep 0.3");
  ASSERT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "roomcaster_live --seconds 8 did not start, or end within 60 s";
  EXPECT_EQ(code, 0u);

  // The cleanest half second of the left channel: of the windows where the passed
  // tone is clearly there, the one where it stands highest above the cancelled
  // one. A loaded machine drops a block now and then, and each gap splashes both.
  std::ifstream f(windowspath(raw), std::ios::binary);
  std::vector<int16_t> x;
  for (int16_t frame[2]; f.read(reinterpret_cast<char *>(frame), sizeof frame);) x.push_back(frame[0]);
  double pass = 0, notch = 0;
  for (size_t s = 0, n = 22050; s + n <= x.size(); s += n / 5) {
    double p = amplitude(x, s, n, passtone), q = amplitude(x, s, n, notchtone);
    if (p > 20 && p * notch >= pass * q) pass = p, notch = q;
  }
  EXPECT_GT(pass, 20.0) << "the tone did not come out (" << x.size() << " frames recorded)";
  EXPECT_LT(notch * 8, pass) << "the averaging comb did not act: 441 Hz " << pass << ", 452.025 Hz " << notch;
}

}  // namespace
