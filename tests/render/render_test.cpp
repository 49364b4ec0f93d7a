// roomcaster_render as a user runs it: what it writes, the WAV kinds it reads,
// and how it refuses bad input (exit status 2, one line on
// stderr, OUTPUT neither created nor changed).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/engine/chainharness.h"
#include "engine/wavfile.h"
#include "tests/engine/wavmaker.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string err;
};

class Render : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = fs::temp_directory_path() / ("quarn_render_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string path(const std::string &name) { return (dir / name).string(); }

  // The exit status, and stderr in err.
  Result run(const std::string &args) {
    std::string errfile = path("stderr.txt");
    int raw = std::system((std::string(QUARN_RENDER) + " " + args + " 2>" + errfile + " >/dev/null").c_str());
    std::ifstream in(errfile);
    std::stringstream ss;
    ss << in.rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ss.str()};
  }

  std::string wav(const std::string &name, const std::vector<int16_t> &samples) {
    std::string p = path(name), error;
    EXPECT_TRUE(writewav(p, samples, error)) << error;
    return p;
  }

  std::string bytesfile(const std::string &name, const std::vector<uint8_t> &bytes) {
    std::string p = path(name);
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    return p;
  }

  std::vector<int16_t> read(const std::string &p) {
    WavAudio a;
    std::string error;
    EXPECT_TRUE(readwav(p, a, error)) << error;
    return a.samples;
  }
};

TEST_F(Render, OutputHasExactlyTheInputsFrames) {
  struct Case {
    size_t frames;
    int buffersize;
  } cases[] = {{0, 400}, {1, 400}, {399, 400}, {400, 400}, {401, 400}, {44100 + 13, 150}, {20000, 16000}};
  for (Case c : cases) {
    std::string in = wav("in.wav", std::vector<int16_t>(2 * c.frames, 100));
    Result r = run("--buffersize " + std::to_string(c.buffersize) + " " + in + " " + path("out.wav"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(path("out.wav")).size(), 2 * c.frames) << c.frames << " frames, blocks of " << c.buffersize;
  }
}

// A loud tone, then 16 s of silence: the decaying memories of the DC blocker
// and the low cut pass through the subnormal range, where the chain's tail (a
// tiny negative value, floored to -1) must not turn into 0 early, as it did
// when the renderer flushed subnormals. Devices opened at 0 s (the default:
// silent for 3 s) and at -6 s.
TEST_F(Render, StartsLikeTheLiveEngineAfterTheDevicesOpen) {
  std::vector<int16_t> input = sine(300, 20000, 4.0);
  input.resize(input.size() + 2 * 44100 * 16, 0);
  std::string in = wav("in.wav", input);
  for (const double start : {0.0, -6.0}) {
    const std::string set = start == 0.0 ? "" : "--set starttime=-6 ";
    ASSERT_EQ(run("--buffersize 1500 --set pan=0.3 " + set + in + " " + path("out.wav")).status, 0);
    std::vector<int16_t> out = read(path("out.wav"));
    startengine(start);
    engine.pan = 0.3f;
    TestPlayback p(1500);
    p.run(input);
    EXPECT_EQ(out, p.output) << "devices opened at " << start << " s";
    for (size_t i = 0; start == 0.0 && i < 2 * 3 * 44100; ++i) ASSERT_EQ(out[i], 0) << "silent for 3 s, sample " << i;
  }
}

// A settings file and a preset are read as the program reads them: the preset's
// values win, its ceiling (line 17) is not taken, the files' block size holds
// unless --buffersize is given, and --set comes last.
TEST_F(Render, SettingsAndPresetApplyAsTheProgramDoes) {
  std::vector<int16_t> input = sine(330, 15000, 7.0);
  std::string in = wav("in.wav", input);
  std::ofstream(path("q.ini"), std::ios::binary)
      << " 10\r\n 10\r\n-1\r\n-1\r\n 0.5\r\n 2000\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n"
         " 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 5\r\n 1\r\n 0.25\r\n 0\r\n 100\r\n 0.77\r\n 0\r\n 100\r\n 0\r\n 1\r\n 0.7\r\n 0\r\n";
  std::ofstream(path("p.dspquarn"), std::ios::binary)
      << " 1.5\r\n 1500\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n 0.5\r\n 1\r\n 1\r\n 1\r\n 1\r\n 0\r\n 0\r\n"
         " 0\r\n 3\r\n 2\r\n 100\r\n 0.77\r\n 0.4\r\n";
  const std::string ini = "--settings " + path("q.ini") + " ", preset = "--preset " + path("p.dspquarn") + " ";
  ASSERT_EQ(run(ini + in + " " + path("a.wav")).status, 0);
  ASSERT_EQ(run("--buffersize 2000 --set gain=0.5 --set testgain=0.25 --set tplug=0 --set pan=0.7 " + in + " " +
                path("b.wav")).status, 0);
  EXPECT_EQ(read(path("a.wav")), read(path("b.wav"))) << "settings file";
  ASSERT_EQ(run(ini + preset + "--set pan=0.1 " + in + " " + path("c.wav")).status, 0);
  ASSERT_EQ(run("--buffersize 1500 --set gain=1.5 --set testgain=0.25 --set tplug=0 --set pan=0.1 " + in + " " +
                path("d.wav")).status, 0);
  EXPECT_EQ(read(path("c.wav")), read(path("d.wav"))) << "settings, then the preset, then --set";
  ASSERT_EQ(run(preset + "--buffersize 400 " + in + " " + path("e.wav")).status, 0);
  ASSERT_EQ(run("--set gain=1.5 --set pan=0.4 " + in + " " + path("f.wav")).status, 0);
  EXPECT_EQ(read(path("e.wav")), read(path("f.wav"))) << "the preset alone, at the block size given";
}

TEST_F(Render, BadInputGetsOneLineStatusTwoAndLeavesOutputAlone) {
  // Which WAV files the reader refuses, and the words it gives, is the WAV
  // file test's: one of them stands for all here.
  std::string in = wav("in.wav", std::vector<int16_t>(800, 5));
  struct Case {
    std::string args, words;
  } cases[] = {
      {path("absent.wav") + " OUT", "cannot open"},
      {dir.string() + " OUT", "folder"},
      {bytesfile("text.wav", {'h', 'e', 'l', 'l', 'o'}) + " OUT", "not a WAV"},
      {"--speed 2 " + in + " OUT", "unknown option"},
      {"--set colour=1 " + in + " OUT", "unknown name"},
      {"--set gain=3.5 " + in + " OUT", "out of range"},
      {"--set pan=-1 " + in + " OUT", "out of range"},
      {"--set wet=2 " + in + " OUT", "out of range"},
      {"--set inputmode=5 " + in + " OUT", "out of range"},
      {"--set tplug=0.5 " + in + " OUT", "whole number"},
      {"--set gain=loud " + in + " OUT", "not a number"},
      {"--set gain " + in + " OUT", "NAME=VALUE"},
      {"--buffersize 149 " + in + " OUT", "out of range"},
      {"--buffersize 16001 " + in + " OUT", "out of range"},
      {"--buffersize " + in + " OUT", "not a whole number"},
      {"--settings " + path("absent.ini") + " " + in + " OUT", "settings file"},
      {"--preset " + path("absent.dspquarn") + " " + in + " OUT", "preset"},
      {in, "missing"},
      {in + " OUT extra", "too many"},
      {"--plugin " + path("p.dll") + " " + in + " OUT", "plug-ins are not available"},  // no host in this build
  };
  const std::string keep = "precious";
  for (const Case &c : cases) {
    std::string out = path("out.wav");
    std::ofstream(out) << keep;
    std::string args = c.args;
    if (const size_t at = args.find("OUT"); at != std::string::npos) args.replace(at, 3, out);
    Result r = run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(c.words), std::string::npos) << "'" << c.words << "' not in: " << r.err;
    std::ifstream check(out);
    std::string content((std::istreambuf_iterator<char>(check)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, keep) << args;
  }
  // And a bad input never creates the output.
  fs::remove(path("out.wav"));
  EXPECT_EQ(run(path("absent.wav") + " " + path("out.wav")).status, 2);
  EXPECT_FALSE(fs::exists(path("out.wav")));
}

// One file of each kind holding the same sound, in values that every kind
// holds exactly (how each kind rounds is the WAV file test's table): it reads
// as that sound in 16-bit stereo, a mono file in both channels, and renders
// exactly as the 16-bit stereo file of it.
TEST_F(Render, EveryKindOfWavRendersAsIts16BitStereoConversion) {
  struct Kind {
    const char *name;
    int tag, channels, bits;
    bool extensible;
  } kinds[] = {{"pcm8-mono", 1, 1, 8, false},      {"pcm16-mono", 1, 1, 16, false},
               {"pcm24-mono", 1, 1, 24, false},    {"pcm24-stereo", 1, 2, 24, false},
               {"pcm32-stereo", 1, 2, 32, false},  {"float-mono", 3, 1, 32, false},
               {"float-stereo", 3, 2, 32, false},  {"ext-pcm24-stereo", 1, 2, 24, true},
               {"ext-float-mono", 3, 1, 32, true}};
  for (const Kind &k : kinds) {
    std::vector<int64_t> raw;
    std::vector<int16_t> expected;
    for (size_t i = 0; i < 66150 * static_cast<size_t>(k.channels); ++i) {
      const int16_t v = static_cast<int16_t>(256 * std::lround(127 * std::sin(i * 0.0123)));  // on the 8-bit grid
      raw.push_back(k.tag == 3   ? std::bit_cast<uint32_t>(v / 32768.0f)
                    : k.bits == 8 ? v / 256 + 128
                                  : v * (int64_t{1} << (k.bits - 16)));
      expected.insert(expected.end(), k.channels == 1 ? 2 : 1, v);
    }
    const std::string in = bytesfile(std::string(k.name) + ".wav",
                                     wavbytes(k.tag, k.channels, 44100, k.bits, samplebytes(raw, k.bits), k.extensible));
    EXPECT_EQ(read(in), expected) << k.name;
    const std::string args = "--set starttime=-6 --buffersize 1500 ";
    ASSERT_EQ(run(args + in + " " + path("kind.wav")).status, 0) << k.name;
    ASSERT_EQ(run(args + wav("expected.wav", expected) + " " + path("reference.wav")).status, 0);
    EXPECT_EQ(read(path("kind.wav")), read(path("reference.wav"))) << k.name;
  }
}

}  // namespace
