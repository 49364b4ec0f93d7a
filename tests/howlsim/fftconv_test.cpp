// The partitioned convolution against the plain sum, for responses longer and
// shorter than a partition, fed block by block as the loop feeds it.
#include "bench/howlsim/fftconv.h"

#include <gtest/gtest.h>

#include <cmath>

#include "bench/howlsim/simrandom.h"

namespace {

std::vector<float> gaussian(size_t n, uint64_t seed, double decay = 0) {
  SimRandom r{seed};
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = static_cast<float>(simgauss(r) * std::exp(-decay * i));
  return x;
}

TEST(FastConvolution, MatchesDirectConvolution) {
  struct Case {
    size_t taps;
    int partition;
  } cases[] = {{5000, 256}, {300, 1024}, {1024, 64}, {1, 16}, {1025, 64}};
  for (const Case& c : cases) {
    const std::vector<float> h = gaussian(c.taps, 3, 1.0 / 2000), x = gaussian(12 * c.partition + 3 * c.taps, 9);
    const std::vector<float> want = directconvolve(x, h);
    Convolver conv;
    convstart(conv, h, c.partition);
    std::vector<float> got(x.size());
    const size_t whole = x.size() / c.partition * c.partition;
    for (size_t at = 0; at < whole; at += c.partition) convblock(conv, &x[at], &got[at]);
    double worst = 0, scale = 0;
    for (size_t i = 0; i < whole; ++i) {
      worst = std::max(worst, std::fabs(static_cast<double>(got[i]) - want[i]));
      scale = std::max(scale, std::fabs(static_cast<double>(want[i])));
    }
    EXPECT_LT(worst, 1e-5 * scale) << c.taps << " taps, partition " << c.partition;
  }
}

}  // namespace
