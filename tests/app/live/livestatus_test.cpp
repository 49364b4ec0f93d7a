// roomcaster_live's status line and summary: what a user reads once a second
// and at exit, and what tools/latency.sh parses.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/live/livestatus.h"

TEST(LiveStatus, LevelsInDecibelsBelowFullScaleAndSilenceAsMinusInfinity) {
  const int16_t loud[] = {100, -32768, 5};
  EXPECT_EQ(blockpeak(loud, 3), 32768) << "the negative extreme is not overflowed";
  const int16_t half[] = {-16384, 16383};
  EXPECT_EQ(blockpeak(half, 2), 16384);
  EXPECT_EQ(blockpeak(half, 0), 0);
  EXPECT_EQ(leveltext(32768), "   0.0 dB");
  EXPECT_EQ(leveltext(16384), "  -6.0 dB");
  EXPECT_EQ(leveltext(1), " -90.3 dB");
  EXPECT_EQ(leveltext(0), "  -inf dB");
}

TEST(LiveStatus, LineAndSummaryCarryEveryCounter) {
  LiveStatus s{3277, 0, 4000000000u, 3999999990u, 7, 2, 11, 400, 882, 394, 3, 1764};
  EXPECT_EQ(livestatusline(s),
            "in  -20.0 dB  out   -inf dB  processed 3999999990  dropped 7  underruns 2  starved 882  empty 394"
            "  bunched 11  gaps 3  lost 1764  block 400");
  EXPECT_EQ(livesummary(s, 600.04),
            "roomcaster_live: 600.0 s of 400-frame blocks: 4000000000 captured, 3999999990 processed, 7 dropped, "
            "2 underruns (882 frames starved), 394 queue empty, 11 bunched, 3 capture gaps (1764 frames lost)");
}
