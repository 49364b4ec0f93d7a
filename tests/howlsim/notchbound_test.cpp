// The notch bank's best case against responses whose answer is known: a flat
// echo, where no notch can help; a resonance narrower than a notch, which one
// notch flattens, and a broader one, whose shoulders it leaves; and two
// resonances, notched loudest first. The notches are of Q 14 throughout.
#include "bench/howlsim/notchbound.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Two responses in a row: the cascade of a and b.
std::vector<float> cascade(const std::vector<float>& a, const std::vector<float>& b) {
  std::vector<float> h(a.size() + b.size() - 1, 0.0f);
  for (size_t i = 0; i < a.size(); ++i)
    for (size_t j = 0; j < b.size(); ++j) h[i + j] += a[i] * b[j];
  return h;
}

TEST(NotchBound, FlatEchoResonancesAndTheirOrder) {
  // One echo of gain 0.5: flat, so the loop's MSG is 6 dB and notches only cut.
  std::vector<float> echo(300, 0.0f);
  echo[299] = 0.5f;
  const NotchBound flat = notchbound(echo, 3, 14.0);
  EXPECT_NEAR(flat.msg, 20 * std::log10(2.0), 0.01);
  for (double added : flat.added) EXPECT_NEAR(added, 0.0, 0.01);

  // A +12 dB resonance of Q 40 on a flat path: a notch of 18 dB and Q 14 at
  // its top leaves the flat path the loudest, 12 dB down.
  const NotchBound one = notchbound(resonanceresponse(1000, 40, 12, 1 << 14), 2, 14.0);
  EXPECT_NEAR(one.msg, -12.0, 0.05);
  EXPECT_NEAR(one.placed[0], 1000.0, 1.0);
  EXPECT_NEAR(one.added[1], 12.0, 0.05);
  EXPECT_NEAR(one.added[2], 12.0, 0.05);

  // At Q 10 the resonance is broader than the notch: its shoulders stand
  // 4.8 dB over the flat path (the two filters' product, worked on a 0.01 Hz grid).
  const NotchBound broad = notchbound(resonanceresponse(1000, 10, 12, 1 << 14), 1, 14.0);
  EXPECT_NEAR(broad.added[1], 7.20, 0.05);

  // +12 dB at 1 kHz and +9 dB at 3 kHz: the first notch goes to 1 kHz and
  // adds 3 dB, the second to 3 kHz and adds the rest.
  const NotchBound two =
      notchbound(cascade(resonanceresponse(1000, 40, 12, 1 << 13), resonanceresponse(3000, 40, 9, 1 << 13)), 2, 14.0);
  EXPECT_NEAR(two.msg, -12.0, 0.1);
  EXPECT_NEAR(two.placed[0], 1000.0, 2.0);
  EXPECT_NEAR(two.placed[1], 3000.0, 3.0);
  EXPECT_NEAR(two.added[1], 3.0, 0.15);
  EXPECT_NEAR(two.added[2], 12.0, 0.15);
  EXPECT_EQ(notchesfor(two, 6.0), 2);
  EXPECT_EQ(notchesfor(two, 13.0), -1);
}

}  // namespace
