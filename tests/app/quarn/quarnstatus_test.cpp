// The status text and the level bars of the running program, with a known tone
// played into its microphone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "tests/app/quarndriver.h"
#include "tests/app/quarnroom.h"
#include "tests/app/hostshell.h"

namespace {

constexpr unsigned green = 0x009B00, white = 0xFAFAFA;

// Pixel x of row y of the level bars' image, drawn at the box's corner (the
// box's one-pixel frame covers its outer rows and columns).
unsigned barpixel(const QuarnRun &q, int x, int y) { return clientpixel(q, 340 + x, 75 + y); }

// A tone peaking at 8000 (7000 to 8000 after the DC blocker): vupeak about
// 0.23, so the peak bar ends at floor(45 x 0.42 ln(0.23 + 0.1) + 45) = 24 or
// one less. With play off it ends at 1.
TEST(QuarnStatus, ToneShowsInTheTextAndTheBars) {
  QuarnRoom room;
  if (!room.ready) GTEST_SKIP() << "no sound server";
  const std::string tone = hostpath("tone8000.wav");
  ASSERT_EQ(hostshell("sox -n -r 44100 -c 2 -b 16 '" + tone + "' synth 40 sine 441 vol 0.244140625").status, 0);
  room.play(tone);
  QuarnRun q = startwithsettings("status", settings1500);
  ASSERT_TRUE(q.win);
  ASSERT_TRUE(room.enter(q));
  answerbox("confirm", IDCANCEL);

  // "freeout=5/3000/1234\r\ntestgain=3\r\n/aux2=8000.5"
  const std::regex form("freeout=([0-6])/3000/([0-9]+)\r\ntestgain=3\r\n/aux2=([0-9.]{1,6})");
  std::smatch m;
  std::string text;
  EXPECT_TRUE(waituntil([&] {
    text = windowtext(control(q, "win.msg"));
    return std::regex_match(text, m, form) && std::atof(m[3].str().c_str()) > 7000;
  }, 10000)) << text;
  if (m.size() == 4) {
    EXPECT_LE(std::atoi(m[2].str().c_str()), 8001);
    EXPECT_LE(std::atof(m[3].str().c_str()), 8100);  // the DC blocker takes a little off
  }

  // The peak bar's right end: the last green pixel of row 3.
  auto peakend = [&] {
    int x = 1;
    while (x < 41 && barpixel(q, x + 1, 3) == green) ++x;
    return barpixel(q, x + 1, 3) == white ? x : -1;
  };
  int end = -1;
  EXPECT_TRUE(waituntil([&] { return (end = peakend()) >= 22 && end <= 24; }, 5000)) << end;
  EXPECT_EQ(barpixel(q, 1, 12), green) << "the meter bar starts at the left";
  click(q, "win.play");
  EXPECT_TRUE(waituntil([&] { return barpixel(q, 1, 3) == green && barpixel(q, 2, 3) == white; }, 5000));
  EXPECT_EQ(barpixel(q, 10, 3), white);
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
}

}  // namespace
