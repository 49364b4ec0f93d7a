// rendertests.cpp: roomcaster_render --plugin PATH, run as its own process.
#include <cmath>
#include <vector>

#include "engine/wavfile.h"
#include "pluginkit.h"

namespace {

constexpr double pi = 3.14159265358979323846;

// Runs the renderer with `arguments`; its exit code, or -1 if it could not run.
int render(const std::string &arguments) {
  std::string exe = hostpath(QUARN_RENDER_EXE);
  std::string line = "\"" + exe + "\" " + arguments;
  STARTUPINFOA start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
    return -1;
  // A guard against a hang only; a render of a few seconds takes far less.
  if (WaitForSingleObject(process.hProcess, 300000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 99);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return (int)code;
}

std::string inquotes(const std::string &path) { return "\"" + path + "\""; }

class RenderWithPlugins : public ::testing::Test {
 protected:
  TempFolder tree;
  std::string input;

  void SetUp() override {
    // Two seconds of a decaying pluck per channel, then quiet: enough for echoes.
    std::vector<int16_t> s(2 * 88200);
    for (size_t f = 0; f < s.size() / 2; ++f) {
      double t = (f % 22050) / 44100.0;
      double env = std::exp(-t * 12);
      s[2 * f] = (int16_t)std::lround(12000 * env * std::sin(2 * pi * 330 * t));
      s[2 * f + 1] = (int16_t)std::lround(9000 * env * std::sin(2 * pi * 495 * t));
    }
    input = tree.at("in.wav");
    std::vector<uint8_t> bytes = encodewav(s);
    tree.writefile("in.wav", std::string(bytes.begin(), bytes.end()));
  }

  // Renders `input` through the given --plugin paths with the start-up fade
  // skipped; the output samples, or nothing when the renderer failed.
  std::vector<int16_t> rendered(const std::vector<std::string> &plugins) {
    static int made;
    std::string output = tree.at("out" + std::to_string(++made) + ".wav");
    std::string arguments = "--set starttime=-6";
    for (const std::string &p : plugins) arguments.append(" --plugin ").append(inquotes(p));
    arguments.append(" ").append(inquotes(input)).append(" ").append(inquotes(output));
    int code = render(arguments);
    WavAudio audio;
    std::string error;
    if (code != 0 || !readwav(output, audio, error)) return {};
    return audio.samples;
  }
};

}  // namespace

TEST_F(RenderWithPlugins, TheIdentityPluginRendersExactlyWhatNoPluginRenders) {
  tree.copymodule("identity", "identity\\identity.dll");
  tree.copymodule("gain", "gain\\gain.dll");
  std::vector<int16_t> none = rendered({});
  ASSERT_EQ(none.size(), 2u * 88200);
  EXPECT_EQ(rendered({tree.at("identity\\identity.dll")}), none);

  std::vector<int16_t> halved = rendered({tree.at("gain\\gain.dll")});
  ASSERT_EQ(halved.size(), none.size());
  EXPECT_NE(halved, none);
  // Identity after the gain changes nothing more.
  EXPECT_EQ(rendered({tree.at("gain\\gain.dll"), tree.at("identity\\identity.dll")}), halved);
}

TEST_F(RenderWithPlugins, TwoCopiesOfRingoutAreTwoModulesEachReadingItsOwnSettings) {
#ifndef QUARN_RINGOUT_DLL
  GTEST_SKIP() << "ringout is not part of this build";
#else
  std::string ringout = hostpath(QUARN_RINGOUT_DLL);
  if (!fileexists(ringout)) GTEST_SKIP() << "ringout.dll has not been built";
  // Eight lines: gain, window x, window y, tdecayon, decay, tdecay, kdecay, rate.
  tree.makefolder("quiet");
  tree.makefolder("loud");
  ASSERT_TRUE(CopyFileA(ringout.c_str(), tree.at("quiet\\ringout.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(ringout.c_str(), tree.at("loud\\ringout.dll").c_str(), FALSE));
  tree.writefile("quiet\\ringout.ini", " 90\r\n 200\r\n 100\r\n 0\r\n 1\r\n 100\r\n 0.77\r\n 1\r\n");
  tree.writefile("loud\\ringout.ini", " 90\r\n 200\r\n 100\r\n 1\r\n 1\r\n 100\r\n 0.77\r\n 1\r\n");
  std::string quiet = tree.at("quiet\\ringout.dll"), loud = tree.at("loud\\ringout.dll");

  std::vector<int16_t> none = rendered({});
  ASSERT_FALSE(none.empty());
  // The copy whose settings switch processing off passes the sound unchanged.
  EXPECT_EQ(rendered({quiet}), none);
  std::vector<int16_t> processed = rendered({loud});
  ASSERT_EQ(processed.size(), none.size());
  EXPECT_NE(processed, none);
  // Both together: one shared module would read one settings file for both and
  // run one state twice; two modules give exactly the loud copy's sound.
  EXPECT_EQ(rendered({quiet, loud}), processed);
  EXPECT_EQ(rendered({loud, quiet}), processed);
#endif
}
