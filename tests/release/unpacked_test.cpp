// The release archive unpacked as a user would (unpacked.sh): the programs run
// from that folder alone. The window opens, sound flows from the microphone
// through the plug-in to the speaker, the plug-in's window opens, and quitting
// leaves the settings file beside the program; the renderer renders with a
// shipped preset; the console programs tell the archive's version.
//   release_tests.exe "C:\quarn release 123\roomcaster_quarn-1.0.0-win64"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "engine/wavfile.h"
#include "tests/app/quarndriver.h"
#include "tests/app/quarnroom.h"
#include "tests/app/hostshell.h"

namespace {

std::string folder;  // the unpacked archive's folder, a Windows path

struct Ran {
  int code;         // exit code, -1 when it did not end within a minute
  std::string out;  // stdout and stderr, without carriage returns
};

// A console program of the folder, run there as from a command prompt.
Ran runconsole(const std::string &program, const std::string &args) {
  const std::string outfile = scratchfolder("console") + "\\out.txt";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(outfile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = si.hStdError = out;
  PROCESS_INFORMATION pi{};
  std::string commandline = "\"" + folder + "\\" + program + "\" " + args;
  Ran r{-1, ""};
  if (CreateProcessA(nullptr, commandline.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &pi)) {
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 99);
    r.code = static_cast<int>(code);
    CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  }
  CloseHandle(out);
  for (char c : readfile(outfile))
    if (c != '\r') r.out += c;
  return r;
}

TEST(UnpackedRelease, ConsoleProgramsTellTheArchivesVersion) {
  EXPECT_EQ(folder.substr(folder.find_last_of('\\') + 1), "roomcaster_quarn-" QUARN_VERSION "-win64");
  for (const char *program : {"roomcaster_render", "roomcaster_live"}) {
    Ran r = runconsole(std::string(program) + ".exe", "--version");
    EXPECT_EQ(r.code, 0) << program;
    EXPECT_EQ(r.out, std::string(program) + " " QUARN_VERSION "\n");
  }
}

// A user's recording beside the program, rendered with a shipped preset named
// as a user types it; the preset must change the sound.
TEST(UnpackedRelease, RendersWithAShippedPreset) {
  std::vector<int16_t> tone(2 * 88200);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>(((i / 2) % 100 < 50 ? 8000 : -8000));
  std::string error;
  ASSERT_TRUE(writewav(folder + "\\my recording.wav", tone, error)) << error;
  Ran r = runconsole("roomcaster_render.exe",
                     "--preset save\\quiet-blue.dspquarn --set starttime=-6 \"my recording.wav\" with-preset.wav");
  EXPECT_EQ(r.code, 0) << r.out;
  ASSERT_EQ(runconsole("roomcaster_render.exe", "--set starttime=-6 \"my recording.wav\" plain.wav").code, 0);
  WavAudio withpreset, plain;
  ASSERT_TRUE(readwav(folder + "\\with-preset.wav", withpreset, error)) << error;
  ASSERT_TRUE(readwav(folder + "\\plain.wav", plain, error)) << error;
  EXPECT_EQ(withpreset.samples.size(), tone.size());
  EXPECT_NE(withpreset.samples, plain.samples) << "the preset changed nothing";
}

TEST(UnpackedRelease, ProgramRunsFromItsFolderAndKeepsItsSettingsThere) {
  QuarnRoom room;
  if (!room.ready) GTEST_SKIP() << "no sound server";
  const std::string noise = hostpath("noise.wav"), heard = hostpath("heard.wav");
  ASSERT_EQ(hostshell("sox -n -r 44100 -c 2 -b 16 '" + noise + "' synth 40 pinknoise vol 0.3").status, 0);
  room.play(noise);

  const std::string settingsfile = folder + "\\roomcaster_quarn.ini";
  ASSERT_EQ(GetFileAttributesA(settingsfile.c_str()), INVALID_FILE_ATTRIBUTES) << "not a fresh folder";
  QuarnRun q = startquarn(folder, (folder + "\\roomcaster_quarn.exe").c_str());
  ASSERT_TRUE(q.win) << "the window did not open";
  ASSERT_TRUE(room.enter(q)) << "the room's devices are not in the lists";
  EXPECT_EQ(answerbox("confirm", IDCANCEL), "test loop ? (adjust gain)");
  // Wine's waveform audio stalls at the first start's 400-frame blocks; a user
  // there picks the shortest block of the list, 1500 frames (as tools/run.sh does).
  choose(q, "win.buffersize", 1);
  EXPECT_TRUE(waituntil([&] { return capturedsamples(q) == 3000; }, 10000)) << windowtext(control(q, "win.msg"));
  Sleep(7000);  // 3 s of silence and a 3 s fade-in after the devices opened
  ASSERT_TRUE(room.record(heard, 2.0));
  HostResult level = hostshell("sox '" + heard + "' -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}'");
  const double peak = std::atof(level.output.c_str()) * 32768;
  std::printf("speaker peak %.0f\n", peak);
  EXPECT_GT(peak, 300) << "no sound came through";

  click(q, "win.plugins");
  HWND plugin = 0, howlcut = 0;
  EXPECT_TRUE(waituntil([&] { return (plugin = FindWindowA(nullptr, "plugin/ringout.dll")) != 0; }, 10000))
      << "the plug-in window did not open";
  EXPECT_TRUE(waituntil([&] { return (howlcut = FindWindowA(nullptr, "plugin2/howlcut.dll")) != 0; }, 10000))
      << "howlcut's window did not open";
  click(q, "win.plugins");
  EXPECT_TRUE(waituntil([&] { return !IsWindow(plugin) && !IsWindow(howlcut); }, 10000));
  EXPECT_NE(readfile(folder + "\\plugin\\ringout.ini"), "") << "the plug-in keeps its settings beside it";
  EXPECT_NE(readfile(folder + "\\plugin2\\howlcut.ini"), "") << "howlcut keeps its settings beside it";

  const int speaker = comboselection(control(q, "win.waveout"));  // 1 is the system default, device 0 is 2
  click(q, "win.quit");
  EXPECT_EQ(waitquarn(q), 0);
  EXPECT_EQ(settingsline(folder, 6), " 1500") << "no settings file beside the program, or not the block size chosen";
  EXPECT_EQ(settingsline(folder, 4), " " + std::to_string(speaker - 2)) << "not the output device chosen";
}

}  // namespace

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: release_tests FOLDER (the unpacked archive's folder, a Windows path)\n");
    return 2;
  }
  folder = argv[1];
  return RUN_ALL_TESTS();
}
