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

  // The exit status, and stderr in err; `redirect` gives stdin and stdout.
  Result run(const std::string &args, const std::string &redirect = ">/dev/null") {
    std::string errfile = path("stderr.txt");
    int raw = std::system((std::string(QUARN_RENDER) + " " + args + " 2>" + errfile + " " + redirect).c_str());
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

  std::vector<uint8_t> bytes(const std::string &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
      {"--plugins " + in + " OUT", "plug-ins are not available"},
      {"--rate 7999 " + in + " OUT", "out of range"},
      {"--rate 48k " + in + " OUT", "not a whole number"},
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

// A file whose data size is a streaming placeholder (0xFFFFFFFF or 0) is read
// to its end, with a warning, and renders as the same file with its size; an
// incomplete frame at the end is dropped. Stdin to stdout ("-") gives the same
// bytes as files given by name, with a known size or a placeholder.
TEST_F(Render, PlaceholderSizesAndPipesRenderAsTheNamedFile) {
  const std::vector<uint8_t> in = encodewav(sine(440, 12000, 2.3));
  const std::string named = bytesfile("in.wav", in);
  ASSERT_EQ(run(named + " " + path("named.wav")).status, 0);
  const std::vector<uint8_t> expected = bytes(path("named.wav"));
  for (const uint32_t size : {0xFFFFFFFFu, 0u}) {
    for (const bool extrabyte : {false, true}) {
      std::vector<uint8_t> b = in;
      for (int i = 0; i < 4; ++i) b[40 + i] = static_cast<uint8_t>(size >> (8 * i));
      if (extrabyte) b.push_back(7);
      const std::string what = std::to_string(size) + (extrabyte ? " and an incomplete frame" : "");
      Result r = run(bytesfile("placeholder.wav", b) + " " + path("out.wav"));
      ASSERT_EQ(r.status, 0) << what << ": " << r.err;
      EXPECT_EQ(bytes(path("out.wav")), expected) << what;
      const std::string frames = "(" + std::to_string((in.size() - 44) / 4) + " frames)";
      EXPECT_NE(r.err.find("placeholder: read to the end of the file " + frames), std::string::npos) << r.err;
      EXPECT_EQ(r.err.find("incomplete") != std::string::npos, extrabyte) << r.err;
      r = run("- -", "<" + path("placeholder.wav") + " >" + path("piped.wav"));
      ASSERT_EQ(r.status, 0) << what << " through stdin and stdout: " << r.err;
      std::vector<uint8_t> piped = bytes(path("piped.wav"));
      ASSERT_EQ(piped.size(), expected.size());
      EXPECT_TRUE(std::equal(piped.begin() + 44, piped.end(), expected.begin() + 44)) << what;
      EXPECT_EQ(piped[40], 0xFF) << "the length unknown at the start, stdout carries the placeholder";
    }
  }
  ASSERT_EQ(run("- -", "<" + named + " >" + path("piped.wav")).status, 0);
  EXPECT_EQ(bytes(path("piped.wav")), expected) << "stdin to stdout, the size known";
  ASSERT_EQ(run("- " + path("fromstdin.wav"), "<" + named).status, 0);
  EXPECT_EQ(bytes(path("fromstdin.wav")), expected) << "stdin to a named file";
  // A pipe given by name is written into, not replaced by a renamed file.
  const std::string fifo = path("fifo");
  ASSERT_EQ(std::system(("mkfifo " + fifo).c_str()), 0);
  run(named + " " + fifo, ">/dev/null & timeout 60 cat " + fifo + " >" + path("fromfifo.wav") + "; wait");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(bytes(path("fromfifo.wav")), expected) << "through a named pipe";
  // An empty file is simply empty, and a stated size the file lacks is refused.
  Result r = run(wav("empty.wav", {}) + " " + path("out.wav"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::vector<uint8_t> cut(in.begin(), in.end() - 6);
  r = run("- " + path("out.wav"), "<" + bytesfile("cut.wav", cut));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("truncated"), std::string::npos) << r.err;
}

// The amplitude of the tone at `hz` in the left channel's middle half (least squares).
double toneamplitude(const std::vector<int16_t> &stereo, double hz, int rate) {
  const size_t frames = stereo.size() / 2, a = frames / 4, b = 3 * frames / 4;
  const double w = 2 * M_PI * hz / rate;
  double cc = 0, ss = 0, cs = 0, yc = 0, ys = 0;
  for (size_t m = a; m < b; ++m) {
    const double c = std::cos(w * m), s = std::sin(w * m), y = stereo[2 * m];
    cc += c * c, ss += s * s, cs += c * s, yc += y * c, ys += y * s;
  }
  const double det = cc * ss - cs * cs;
  return std::hypot((yc * ss - ys * cs) / det, (ys * cc - yc * cs) / det);
}

// A 48 or 96 kHz file goes through the engine at 44.1 kHz and comes back at its
// own rate with its own frames, sounding as the same tone rendered at 44.1 kHz;
// --rate 44100 keeps the engine's rate.
TEST_F(Render, FilesAtOtherRatesComeBackAtTheirOwnRate) {
  auto tone = [](int rate) {
    std::vector<int16_t> s;
    for (int n = 0; n < rate * 2; ++n) s.insert(s.end(), 2, static_cast<int16_t>(std::lround(9000 * std::sin(2 * M_PI * 1000.0 * n / rate))));
    return s;
  };
  const std::string args = "--set starttime=-6 --buffersize 1500 ";
  ASSERT_EQ(run(args + wav("in44.wav", tone(44100)) + " " + path("out44.wav")).status, 0);
  const std::vector<int16_t> at44 = read(path("out44.wav"));
  const double level = toneamplitude(at44, 1000, 44100);
  ASSERT_GT(level, 50);
  for (const int rate : {48000, 96000}) {
    std::string error;
    const std::string in = path("in.wav");
    ASSERT_TRUE(writewav(in, tone(rate), error, rate)) << error;
    Result r = run(args + in + " " + path("out.wav"));
    ASSERT_EQ(r.status, 0) << r.err;
    WavAudio out;
    ASSERT_TRUE(readwav(path("out.wav"), out, error)) << error;
    EXPECT_EQ(out.rate, rate);
    EXPECT_EQ(out.samples.size(), static_cast<size_t>(4 * rate));
    EXPECT_NEAR(20 * std::log10(toneamplitude(out.samples, 1000, rate) / level), 0, 0.01) << rate;
    ASSERT_EQ(run("--rate 44100 " + args + in + " " + path("kept.wav")).status, 0);
    WavAudio kept;
    ASSERT_TRUE(readwav(path("kept.wav"), kept, error)) << error;
    EXPECT_EQ(kept.rate, 44100);
    ASSERT_EQ(kept.samples.size(), at44.size());
    double worst = 0;
    for (size_t i = at44.size() / 4; i < 3 * at44.size() / 4; ++i) worst = std::max(worst, std::abs(kept.samples[i] - at44[i] + 0.0));
    EXPECT_LE(worst, 3) << rate << " Hz at --rate 44100: the same sound as the 44.1 kHz file";
  }
}

}  // namespace
