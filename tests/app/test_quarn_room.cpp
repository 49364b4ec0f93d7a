// The loop test in a simulated room: the real program on two null sinks of its
// own, with a loopback of known volume from its speaker to its microphone, its
// questions and notices answered and read from outside.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "quarndriver.h"
#include "quarnroom.h"
#include "tests/devices/hostshell.h"

namespace {

const char *const settings1500 = " 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n 1500\r\n";

// The ceiling the status box shows ("testgain=0.090").
double shownceiling(const QuarnRun &q) {
  const std::string text = windowtext(control(q, "win.msg"));
  const size_t at = text.find("testgain=");
  return at == std::string::npos ? -1 : std::atof(text.c_str() + at + 9);
}

// The number after `prefix` in a notice ("warning loop !  2412/gain=0.090").
int numberafter(const std::string &text, const std::string &prefix) {
  const size_t at = text.find(prefix);
  return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + prefix.size());
}

// Line 21 of the settings file the run left: the stored ceiling.
double storedceiling(const std::string &folder) {
  std::string text = readfile(folder + "\\roomcaster_quarn.ini");
  size_t at = 0;
  for (int i = 1; i < 21 && at != std::string::npos; ++i) at = text.find("\r\n", at) + 2;
  return std::atof(text.c_str() + at);
}

// The loudest sample of a recording on the host, 0..32768.
double loudest(const std::string &hostfile) {
  HostResult r = hostshell("sox '" + hostfile + "' -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}'");
  return std::atof(r.output.c_str()) * 32768;
}

struct LoopRun {
  QuarnRun q;
  std::string notice, question;
};

// The program in the room; the loop test, proposed after the microphone was
// chosen, is answered yes. Ends once the first notice is up (left open).
LoopRun starttest(QuarnRoom &room, const std::string &name, HWND *notice) {
  const std::string folder = scratchfolder(name);
  writefile(folder + "\\roomcaster_quarn.ini", settings1500);
  LoopRun r{startquarn(folder)};
  EXPECT_TRUE(r.q.win);
  EXPECT_TRUE(room.enter(r.q)) << "the room's devices are not in the lists";
  Sleep(1500);  // as a user reads the question: the first captured blocks arrive meanwhile
  EXPECT_EQ(answerbox("confirm", IDOK), "test loop ? (adjust gain)");
  r.notice = answerbox("notice", 0, 15000, notice);
  return r;
}

void finish(LoopRun &r) {
  click(r.q, "win.quit");
  EXPECT_EQ(waitquarn(r.q), 0);
}

TEST(QuarnLoopTest, NoAcousticPathSetsTheHighestCeiling) {
  QuarnRoom room;
  if (!room.ready) GTEST_SKIP() << "no sound server";
  HWND box = 0;
  LoopRun r = starttest(room, "nopath", &box);
  EXPECT_EQ(r.notice.rfind("ok ", 0), 0u) << r.notice;
  EXPECT_EQ(r.notice.substr(r.notice.size() - 2), "/3");
  EXPECT_LT(numberafter(r.notice, "ok "), 2000);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(waituntil([&] { return shownceiling(r.q) == 3.0; }, 5000));
  finish(r);
  EXPECT_EQ(storedceiling(r.q.folder), 3.0);
}

// The peak follows the loop gain and the ceiling falls as it rises. Inverting the
// formula gives the loop level the engine measured, which must lie in step with
// the peak; the ceiling is shown and stored.
TEST(QuarnLoopTest, LouderLoopsGiveLowerCeilingsByTheFormula) {
  int lastpeak = 0;
  double lastceiling = 3.0;
  for (int percent : {60, 85}) {
    QuarnRoom room;
    if (!room.ready) GTEST_SKIP() << "no sound server";
    ASSERT_TRUE(room.loop(percent));
    HWND box = 0;
    LoopRun r = starttest(room, "loop" + std::to_string(percent), &box);
    ASSERT_EQ(r.notice.rfind("warning loop !  ", 0), 0u) << r.notice;
    const int peak = numberafter(r.notice, "warning loop !  ");
    const double ceiling = std::atof(r.notice.c_str() + r.notice.find("/gain=") + 6);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(answerbox("confirm", IDOK), "continue ?(changed)");
    EXPECT_GT(peak, lastpeak);
    EXPECT_LT(ceiling, lastceiling);
    // y = 2600 / ceiling - 0.1 = 4 L max(1, L / 1800)
    const double y = 2600 / ceiling - 0.1, level = y <= 7200 ? y / 4 : std::sqrt(y * 450);
    EXPECT_GT(level, 0.2 * peak) << r.notice;
    EXPECT_LT(level, 0.7 * peak) << r.notice;
    EXPECT_TRUE(waituntil([&] { return std::fabs(shownceiling(r.q) - ceiling) < 1e-9; }, 5000));
    finish(r);
    EXPECT_NEAR(storedceiling(r.q.folder), ceiling, 0.001);
    std::printf("loop %d%%: %s\n", percent, r.notice.c_str());
    lastpeak = peak;
    lastceiling = ceiling;
  }
}

// Noise at the tone's frequency, louder than 0.35 x the loop: the question says
// so, and a ceiling is computed anyway.
TEST(QuarnLoopTest, RoomNoiseAtTheToneIsReported) {
  QuarnRoom room;
  if (!room.ready) GTEST_SKIP() << "no sound server";
  const std::string noise = hostpath("hum.wav");
  ASSERT_EQ(hostshell("sox -n -r 44100 -c 2 -b 16 '" + noise + "' synth 40 sine 479.8234 vol 0.3").status, 0);
  room.play(noise);
  HWND box = 0;
  LoopRun r = starttest(room, "noise", &box);
  EXPECT_EQ(r.notice, "") << "the question comes before the notice";
  const std::string question = answerbox("confirm", IDOK, 10000);
  EXPECT_EQ(question.rfind("stop input before ! ", 0), 0u) << question;
  const int quiet = numberafter(question, "before ! ");
  const int loop = std::atoi(question.c_str() + question.rfind("  ") + 2);
  EXPECT_GT(quiet, 0.35 * loop) << question;
  const std::string notice = answerbox("notice", IDOK, 10000);
  EXPECT_EQ(notice.rfind("warning loop !  ", 0), 0u) << notice;
  answerbox("confirm", IDOK, 10000);
  finish(r);
}

// "no" to the closing question leaves the output silent until the devices reopen.
TEST(QuarnLoopTest, NoAtTheEndSilencesTheOutput) {
  QuarnRoom room;
  if (!room.ready) GTEST_SKIP() << "no sound server";
  ASSERT_TRUE(room.loop(70));
  HWND box = 0;
  LoopRun r = starttest(room, "answerno", &box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(answerbox("confirm", IDCANCEL).rfind("continue ?", 0), 0u);
  const std::string tone = hostpath("tone.wav"), heard = hostpath("heard.wav");
  ASSERT_EQ(hostshell("sox -n -r 44100 -c 2 -b 16 '" + tone + "' synth 4 sine 441 vol 0.3").status, 0);
  room.play(tone);
  ASSERT_TRUE(room.record(heard, 2.5));
  EXPECT_LT(loudest(heard), 2.0);
  finish(r);
}

// The quit button during the tone phase ends the test through the "ok" notice
// with the highest ceiling, and then the program.
TEST(QuarnLoopTest, QuitDuringTheToneEndsThroughTheOkNotice) {
  QuarnRoom room;
  if (!room.ready) GTEST_SKIP() << "no sound server";
  const std::string folder = scratchfolder("quittone");
  writefile(folder + "\\roomcaster_quarn.ini", settings1500 + std::string(" 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n"
                                            " 0.5\r\n 1\r\n 1\r\n 1\r\n 0\r\n 0\r\n 0\r\n 0\r\n 0.5\r\n"));
  QuarnRun q = startquarn(folder);
  ASSERT_TRUE(q.win);
  ASSERT_TRUE(room.enter(q));
  Sleep(1500);
  EXPECT_EQ(answerbox("confirm", IDOK), "test loop ? (adjust gain)");
  Sleep(2100);  // 0.5 s, the quiet second, then into the tone
  click(q, "win.quit");
  const DWORD asked = GetTickCount();
  const std::string notice = answerbox("notice", IDOK, 5000);
  EXPECT_LT(GetTickCount() - asked, 1500u) << "the tone phase did not end at once";
  EXPECT_EQ(notice.rfind("ok ", 0), 0u) << notice;
  EXPECT_EQ(notice.substr(notice.size() - 2), "/3");
  EXPECT_EQ(waitquarn(q), 0);
  EXPECT_EQ(storedceiling(folder), 3.0);
}

// Declining the first question changes nothing the file keeps.
TEST(QuarnLoopTest, DecliningChangesNothing) {
  const std::string folder = scratchfolder("decline");
  const std::string given = " 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n 1500\r\n 2\r\n 1\r\n 200\r\n 0.1\r\n 250\r\n 0.1\r\n"
                            " 0.5\r\n 1\r\n 1\r\n 1\r\n 0\r\n 0\r\n 0\r\n 0\r\n 0.5\r\n 0\r\n 100\r\n 0.77\r\n 0\r\n"
                            " 100\r\n 1\r\n 0\r\n 0\r\n 0\r\n";
  writefile(folder + "\\roomcaster_quarn.ini", given);
  QuarnRun q = startquarn(folder);
  ASSERT_TRUE(q.win);
  waituntil([&] { return capturedsamples(q) > 0; }, 8000);
  click(q, "win.testloop");
  EXPECT_EQ(answerbox("confirm", IDCANCEL), "test loop ? (adjust gain)");
  Sleep(500);
  EXPECT_EQ(windowtext(control(q, "win.play")), "on");
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
  EXPECT_EQ(readfile(folder + "\\roomcaster_quarn.ini"), given);
}

}  // namespace
