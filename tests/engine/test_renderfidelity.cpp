// The offline renderer against the engine itself: what roomcaster_render writes
// must be what the chain computes in plain IEEE float and double arithmetic, or
// the renderer cannot serve as the check of the chain.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>
#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#define QUARN_HAVE_MXCSR 1
#endif

#include "app/render.h"
#include "chainharness.h"
#include "engine/wavfile.h"

namespace fs = std::filesystem;

namespace {

// Keeps the renderer's floating-point mode from leaking into later tests.
struct SavedFloatMode {
#ifdef QUARN_HAVE_MXCSR
  unsigned int csr = _mm_getcsr();
  ~SavedFloatMode() { _mm_setcsr(csr); }
#endif
};

std::vector<int16_t> renderfile(const std::vector<int16_t> &input, const std::vector<std::string> &sets) {
  fs::path dir = fs::temp_directory_path() / "quarn_review_render";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string in = (dir / "in.wav").string(), out = (dir / "out.wav").string(), error;
  EXPECT_TRUE(writewav(in, input, error)) << error;

  std::vector<std::string> args = {"roomcaster_render"};
  for (const std::string &s : sets) args.insert(args.end(), {"--set", s});
  args.insert(args.end(), {in, out});
  std::vector<char *> argv;
  for (std::string &a : args) argv.push_back(a.data());

  RenderOptions options;
  EXPECT_TRUE(parserenderoptions(static_cast<int>(argv.size()), argv.data(), options, error)) << error;
  int status;
  {
    SavedFloatMode keep;
    status = runrender(options);
  }
  EXPECT_EQ(status, 0);
  WavAudio result;
  EXPECT_TRUE(readwav(out, result, error)) << error;
  fs::remove_all(dir);
  return result.samples;
}

// A loud tone, then a long silence: the decaying memories of the DC blocker
// and the low cut pass through the subnormal range, where the chain's tail
// (a tiny negative value, floored to -1) must not turn into 0 early.
TEST(RendererFidelity, LongSilenceAfterABurstMatchesTheEngineSampleForSample) {
  std::vector<int16_t> input = sine(300, 20000, 4.0);
  input.resize(input.size() + 2 * 44100 * 16, 0);

  std::vector<int16_t> rendered = renderfile(input, {"starttime=-6"});

  startengine(-6.0);
  TestPlayback direct(400);
  direct.run(input);

  ASSERT_EQ(rendered.size(), direct.output.size());
  size_t differing = 0, first = rendered.size();
  for (size_t i = 0; i < rendered.size(); ++i)
    if (rendered[i] != direct.output[i]) {
      ++differing;
      if (first == rendered.size()) first = i;
    }
  EXPECT_EQ(differing, 0u) << "first difference at second " << first / 88200.0 << ": rendered "
                           << (first < rendered.size() ? rendered[first] : 0) << ", engine "
                           << (first < rendered.size() ? direct.output[first] : 0);
}

}  // namespace
