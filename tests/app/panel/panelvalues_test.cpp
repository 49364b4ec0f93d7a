// The main window's numbers: list entries, the positions values select, what a
// choice sets, the status text and the level bars.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>

#include "app/panel/panelvalues.h"

namespace {

TEST(PanelLists, EntriesAndTheBlockSizeTable) {
  EXPECT_EQ(gainentry(1), "krev0");
  EXPECT_EQ(gainentry(4), "krev7");
  EXPECT_EQ(gainentry(41), "krev100");
  EXPECT_EQ(gainentry(81), "krev200");
  EXPECT_EQ(panentry(9), "pan8");
  const int trev[] = {34, 45, 56, 68, 79, 90, 102, 113, 124, 136, 147, 158,
                      170, 181, 192, 204, 215, 226, 249, 272, 294, 317, 340, 362};
  for (int k = 1; k <= buffersizeentries; ++k) {
    EXPECT_EQ(buffersizeentrytext(k), "trev" + std::to_string(trev[k - 1])) << k;
    EXPECT_EQ(buffersizeposition(buffersizeofchoice(k)), k) << "a chosen size selects its own entry";
  }
}

TEST(PanelLists, PositionsOfStoredValues) {
  EXPECT_EQ(gainposition(1.0f), 41);
  EXPECT_EQ(gainposition(0.5f), 21);
  EXPECT_EQ(gainposition(gainofchoice(40)), 40);
  EXPECT_EQ(panposition(0.3f), 4);
  EXPECT_EQ(buffersizeposition(4000), 6);
  EXPECT_EQ(buffersizeposition(16000), 24);
  EXPECT_EQ(buffersizeposition(400), -2);  // floor(-1.19): nothing selected
  EXPECT_EQ(deviceposition(-1), 1);
  EXPECT_EQ(deviceposition(0), 2);
  // Values from a damaged file saturate instead of overflowing.
  EXPECT_EQ(gainposition(FLT_MAX), INT_MAX);
  EXPECT_EQ(gainposition(-FLT_MAX), INT_MIN);
  EXPECT_EQ(panposition(FLT_MAX), INT_MAX);
  EXPECT_EQ(deviceposition(INT_MAX), INT_MAX);
  // (2147483647 / 10 - 1000) / 100 + 18.01 and (-2147483648 / 10 - 150) / 50 + 1.01, floored: no entry.
  EXPECT_EQ(buffersizeposition(INT_MAX), 2147491);
  EXPECT_EQ(buffersizeposition(INT_MIN), -4294970);
}

TEST(PanelChoices, WhatAChoiceSets) {
  EXPECT_EQ(gainofchoice(81), 2.0f);
  EXPECT_EQ(gainofchoice(1), 0.0f);
  EXPECT_EQ(gainofchoice(0), 0.0f);  // nothing chosen
  EXPECT_EQ(gainofchoice(200), 3.0f);
  EXPECT_FLOAT_EQ(panofchoice(4), 0.3f);
  EXPECT_EQ(panofchoice(0), 0.0f);
  EXPECT_EQ(panofchoice(99), 2.0f);
  EXPECT_EQ(buffersizeofchoice(0), 1500);
  EXPECT_EQ(buffersizeofchoice(18), 10000);
  EXPECT_EQ(buffersizeofchoice(19), 11000);
  EXPECT_EQ(deviceofchoice(1), -1);
  EXPECT_EQ(deviceofchoice(3), 1);
  EXPECT_EQ(deviceofchoice(0), -1);  // nothing chosen opens the default
  EXPECT_EQ(nextcolor(3), 0);
  EXPECT_EQ(nextcolor(0), 1);
  EXPECT_EQ(nextcolor(INT_MAX), 0);
  EXPECT_EQ(nextcolor(-3), 2);
}

TEST(PanelStatus, TextOfTheStatusBox) {
  EXPECT_EQ(statustext({5, 3000, -17, 3.0f, 0.0f}), "freeout=5/3000/17\r\ntestgain=3\r\n");
  EXPECT_EQ(statustext({4, 800, 2, 0.0903f, 1234.5f}), "freeout=4/800/2\r\ntestgain=0.090\r\n/aux2=1234.5");
  EXPECT_EQ(statustext({0, 0, -32768, 1.625f, 0.1f}), "freeout=0/0/32768\r\ntestgain=1.625\r\n/aux2=0.1000");
  EXPECT_EQ(statustext({0, 0, 0, 0.001f, 0.000001f}), "freeout=0/0/0\r\ntestgain=0.001\r\n");
  EXPECT_EQ(cutnumber(2.0 / 3.0, 7, 5), "0.666");
  EXPECT_EQ(cutnumber(123456789.0, 7, 5), "1.234");
}

TEST(PanelBars, PeakAndMeter) {
  // a = 0.42 ln(1.1) = 0.0400 -> 46; silence floors at -0.97 -> 1.
  EXPECT_EQ(levelbars(1.0f, 0.0f, 3.0f, 1).peak, 46);
  EXPECT_EQ(levelbars(0.0f, 0.0f, 3.0f, 1).peak, 1);
  // r = 32700 x 3 / 3 / 32700 = 1 -> 46; a meter beyond 65 shows nothing.
  EXPECT_EQ(levelbars(0.0f, 98100.0f, 3.0f, 1).meter, 46);
  EXPECT_EQ(levelbars(0.0f, 98100.0f, 0.001f, 1).meter, 0);
  EXPECT_EQ(levelbars(0.5f, 32700.0f, 1.0f, 1).peak, 35);  // 45 x 0.42 ln(0.6) + 45 = 35.35
  const LevelBars off = levelbars(1.0f, 98100.0f, 3.0f, 0);
  EXPECT_EQ(off.peak, 1);
  EXPECT_EQ(off.meter, 0);
}

}  // namespace
