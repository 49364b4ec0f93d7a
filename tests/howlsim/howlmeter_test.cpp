// The meter on signals whose answers are known: a copy of the reference
// neither howls nor differs; twice the reference differs by 6.02 dB in every
// band; a steady tone standing far above its band howls at its frequency
// from the first frame, and one standing a little above it never does.
#include "bench/howlsim/howlmeter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "bench/howlsim/simrandom.h"

namespace {

std::vector<float> pinkish(double seconds) {
  SimRandom r{5};
  std::vector<float> x(static_cast<size_t>(seconds * 44100));
  double state = 0;
  for (float& v : x) v = static_cast<float>(state = 0.9 * state + 300 * simgauss(r));
  return x;
}

HowlMeter measured(const std::vector<float>& reference, const std::vector<float>& output) {
  HowlMeter m;
  meterstart(m, reference);
  meterfeed(m, output, static_cast<int>(output.size()));
  return m;
}

std::vector<float> withtone(std::vector<float> x, double hz, double amplitude) {
  for (size_t t = 0; t < x.size(); ++t) x[t] += static_cast<float>(amplitude * std::sin(2 * M_PI * hz * t / 44100));
  return x;
}

TEST(HowlMeter, KnownDifferencesAndTones) {
  const std::vector<float> reference = pinkish(4);

  const HowlMeter same = measured(reference, reference);
  EXPECT_EQ(same.frames, static_cast<int>(same.reference.size()));
  EXPECT_EQ(same.howlframes, 0);
  EXPECT_NEAR(meterdistortion(same), 0.0, 1e-9);

  std::vector<float> louder = reference;
  for (float& v : louder) v *= 2;
  const HowlMeter twice = measured(reference, louder);
  EXPECT_NEAR(meterdistortion(twice), 20 * std::log10(2.0), 0.01);
  EXPECT_EQ(twice.howlframes, 0);

  // The 1 kHz band of this noise lies near -50 dB; a tone of amplitude 8000
  // stands near -12 dB.
  const HowlMeter loud = measured(reference, withtone(reference, 1000, 8000));
  EXPECT_EQ(loud.howlframes, loud.frames);
  EXPECT_TRUE(loud.unstable);
  EXPECT_EQ(loud.firsthowl, 0);
  EXPECT_NEAR(loud.peakhz[0], 1000, 44100.0 / meterframe);
  EXPECT_NEAR(meterseconds(loud.unstableframe), 1.0, 0.05);

  const HowlMeter soft = measured(reference, withtone(reference, 1000, 30));
  EXPECT_EQ(soft.howlframes, 0);
}

}  // namespace
