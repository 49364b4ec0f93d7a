// The loop test's arithmetic and texts, with the worked numbers of the room cases.
#include <gtest/gtest.h>

#include <cmath>

#include "app/looptest/loopvalues.h"

namespace {

TEST(LoopCeiling, ProportionalUpTo1800ThenSquare) {
  EXPECT_EQ(loopceiling(0.0f), 3.0f);                              // 2600 / 0.1, cut to 3
  EXPECT_FLOAT_EQ(loopceiling(3600.0f), 2600.0f / 28800.1f);       // y = 4 x 3600 x 2
  EXPECT_FLOAT_EQ(loopceiling(400.0f), 2600.0f / 1600.1f);         // 450 - 50: 1.625
  EXPECT_FLOAT_EQ(loopceiling(1800.0f), 2600.0f / 7200.1f);
  EXPECT_EQ(loopceiling(1e9f), 0.001f);
}

TEST(LoopCeiling, NoiseAndChange) {
  EXPECT_TRUE(noisetoostrong(200.0f, 400.0f));    // 200 > 140
  EXPECT_FALSE(noisetoostrong(50.0f, 450.0f));
  // Exactly 5 % either way (0.125 of 2.5, all exact in binary) is no change; a
  // float step further is.
  EXPECT_FALSE(ceilingchanged(2.5f, 2.375f));
  EXPECT_FALSE(ceilingchanged(2.5f, 2.625f));
  EXPECT_TRUE(ceilingchanged(2.5f, std::nextafter(2.375f, 0.0f)));
  EXPECT_TRUE(ceilingchanged(2.5f, std::nextafter(2.625f, 3.0f)));
  EXPECT_TRUE(ceilingchanged(3.0f, 0.0903f));
  // The loop level climbs 35 % of the way to a higher tone level and never falls.
  EXPECT_FLOAT_EQ(settlestep(0.0f, 1000.0f), 350.0f);
  EXPECT_EQ(settlestep(500.0f, 100.0f), 500.0f);
}

TEST(LoopTexts, NumbersAsShown) {
  EXPECT_EQ(nolooptext(12.9f, 3.0f), "ok 12/3");
  EXPECT_EQ(loopwarning(2412.7f, loopceiling(3600.0f)), "warning loop !  2412/gain=0.090");
  EXPECT_EQ(loopwarning(30000.0f, loopceiling(400.0f)), "warning loop !  30000/gain=1.624");
  EXPECT_EQ(noisequestion(200.5f, 400.9f), "stop input before ! 200  400");
}

}  // namespace
