// howlcut's window, opened by the real host's window thread from a copy of the
// real module: its controls at the file's values, the user's choices heard at
// once and written back by each way of closing, and a howl fed through the
// module shown as a notch in the list until "reset".
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tools/gallery/galleryshot.h"
#include "tests/howlcut/howlkit.h"

namespace {

// The frequency of a notch row ("1234 Hz   -9.0 dB   3 s").
double rowfrequency(const std::string &row) { return std::atof(row.c_str()); }

}  // namespace

TEST_F(HowlHost, ShowsTheFilesValuesAndWritesTheChoicesBackAfterEachWayOfClosing) {
  // Off, music, a place off the screen.
  install("plugin2", " 0\r\n 2\r\n 5000\r\n-300\r\n");
  loadplugins();
  startpluginwindows();
  HowlWin w = HowlWin::find("plugin2/howlcut.dll");
  ASSERT_TRUE(w.window);
  RECT r;
  GetWindowRect(w.window, &r);
  const int right = GetSystemMetrics(SM_CXSCREEN) - 540;
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<LONG>{right, 0, 540, 380}));
  EXPECT_EQ(w.entries(w.sensitivity, true), (std::vector<std::string>{"speech", "mixed", "music"}));
  EXPECT_EQ(w.chosen(), "music");
  EXPECT_FALSE(w.ischecked());
  EXPECT_EQ(HowlWin::text(w.reset), "reset");

  // Off: the sound passes untouched, howl and all. "on": from the next sample on
  // it does not, and the mark follows.
  long n = 0;
  for (; n < 2 * 44100 * 4; n++) ASSERT_EQ(proc(2, howlingroom(n)), howlingroom(n)) << n;
  w.click(w.on);
  EXPECT_TRUE(w.ischecked());
  bool changed = false;
  for (long end = n + 2 * 44100 * 2; n < end; n++) changed = changed || proc(2, howlingroom(n)) != howlingroom(n);
  EXPECT_TRUE(changed) << "switched on, the module still passes the howl untouched";

  // Closed by its close box: on, speech, the place it was pulled back to.
  w.choose("speech");
  w.closebox();
  ASSERT_TRUE(waitfor([] { return !running(2); }));
  EXPECT_EQ(settings("plugin2"), " 1\r\n 0\r\n " + std::to_string(right) + "\r\n 0\r\n");

  // Opened again: the same choices show. Escape ends it and writes the file.
  startpluginwindows();
  w = HowlWin::find("plugin2/howlcut.dll");
  ASSERT_TRUE(w.window);
  EXPECT_EQ(w.chosen(), "speech");
  EXPECT_TRUE(w.ischecked());
  w.choose("mixed");
  w.click(w.on);
  w.escape();
  ASSERT_TRUE(waitfor([] { return !running(2); }));
  EXPECT_EQ(settings("plugin2"), " 0\r\n 1\r\n " + std::to_string(right) + "\r\n 0\r\n");

  // Ended by the host: once its wait is over the file is there, whole.
  startpluginwindows();
  w = HowlWin::find("plugin2/howlcut.dll");
  ASSERT_TRUE(w.window);
  EXPECT_FALSE(w.ischecked());
  w.choose("music");
  closepluginwindows();
  EXPECT_FALSE(running(2));
  EXPECT_EQ(settings("plugin2"), " 0\r\n 2\r\n " + std::to_string(right) + "\r\n 0\r\n");
  EXPECT_FALSE(std::filesystem::exists(prog + "\\plugin2\\howlcut.ini.tmp"));
}

TEST_F(HowlHost, AHowlShowsAsANotchAtItsFrequencyUntilReset) {
  install("plugin2");
  loadplugins();
  startpluginwindows();
  const HowlWin w = HowlWin::find("plugin2/howlcut.dll");
  ASSERT_TRUE(w.window);
  EXPECT_TRUE(w.ischecked()) << "on by default";
  EXPECT_EQ(w.chosen(), "mixed");
  EXPECT_TRUE(w.rows().empty());

  // Up to 8 s of the howling room, fed as the audio thread feeds it, until the
  // list shows a notch.
  long n = 0;
  std::vector<std::string> rows;
  while (n < 2 * 44100 * 8 && rows.empty()) {
    for (long end = n + 2 * 4410; n < end; n++) proc(2, howlingroom(n));
    rows = w.rows();
  }
  ASSERT_FALSE(rows.empty()) << "no notch in the list after " << n / 88200.0 << " s of a growing howl";
  const double nearest = rowfrequency(*std::min_element(rows.begin(), rows.end(), [](auto &a, auto &b) {
    return std::abs(rowfrequency(a) - 1234) < std::abs(rowfrequency(b) - 1234);
  }));
  EXPECT_NEAR(nearest, 1234, 1234 * 0.035) << "no notch within 1/20 octave of the howl";
  EXPECT_TRUE(waitfor([&] { return HowlWin::text(w.placed).rfind("placed ", 0) == 0 &&
                                   std::atoi(HowlWin::text(w.placed).c_str() + 7) >= 1; }));

  // A few more seconds with the notch at work, then the picture (the build's
  // artefacts: howlcut.bmp, and howlcut.png when ImageMagick is at hand).
  for (long end = n + 2 * 44100 * 3; n < end; n++) proc(2, howlingroom(n));
  Sleep(300);
  const std::string shot = HOWLCUT_SHOT;
  EXPECT_TRUE(shootwindow(w.window, shot[0] == '/' ? "Z:" + shot : shot));

  // "reset": every notch goes, and the list shows it once the sound has been
  // analysed again; the room is quiet now, so none comes back.
  w.click(w.reset);
  bool cleared = false;
  for (long frame = 0; frame < 44100 * 3 && !cleared; ) {
    for (long end = frame + 4410; frame < end; frame++) {
      const float x = static_cast<float>(roomnoise(frame));
      proc(2, x);
      proc(2, x);
    }
    cleared = w.rows().empty();
  }
  EXPECT_TRUE(cleared) << "the notches stay after reset";
}
