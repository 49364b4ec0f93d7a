// roomcaster_quarn.exe's command line, read from outside: the message box it
// shows and its exit code. And the version resource every deliverable carries.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/app/quarndriver.h"

namespace {

struct Answer {
  std::string box;  // the text of the box titled "roomcaster_quarn", "" when none came
  long code;        // exit code; -1 when the program did not end (it is then ended)
};

// Starts dist's program with args in a scratch folder, reads and answers its box.
Answer runwith(const std::string &args) {
  std::string command = "\"" + windowspath(QUARN_DIST_DIR "/roomcaster_quarn.exe") + "\" " + args;
  const std::string folder = scratchfolder("arguments");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    return {"(not started)", -1};
  Answer a{answerbox("roomcaster_quarn", IDOK, 8000), -1};
  DWORD code = 0;
  if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code)) {
    a.code = static_cast<long>(code);
  } else {
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return a;
}

}  // namespace

// A typo or a form the program does not take never starts it on a path the
// user did not ask for: the box names the argument, exit 2.
TEST(MainProgramArguments, UnknownArgumentsAreRefusedByName) {
  for (const std::string arg : {"--audio=wasapi", "--hepl", "-audio", "wasapi"}) {
    const Answer a = runwith(arg);
    EXPECT_NE(a.box.find("'" + arg + "'"), std::string::npos) << arg << ": " << a.box;
    EXPECT_EQ(a.code, 2) << arg;
  }
}

TEST(MainProgramArguments, AudioTakesOnlyItsTwoBackEnds) {
  Answer a = runwith("--audio wasapy");
  EXPECT_NE(a.box.find("'wasapy'"), std::string::npos) << a.box;
  EXPECT_EQ(a.code, 2);
  a = runwith("--audio");
  EXPECT_NE(a.box.find("waveform or wasapi"), std::string::npos) << a.box;
  EXPECT_EQ(a.code, 2);
}

TEST(MainProgramArguments, HelpAndVersionAnswerWithABox) {
  Answer a = runwith("--version");
  EXPECT_EQ(a.box, "roomcaster_quarn " QUARN_VERSION);
  EXPECT_EQ(a.code, 0);
  a = runwith("--help");
  EXPECT_NE(a.box.find("--audio wasapi"), std::string::npos) << a.box;
  EXPECT_NE(a.box.find("low latency.cmd"), std::string::npos) << a.box;
  EXPECT_EQ(a.code, 0);
}

// Explorer's Properties show the project's version on every program and plug-in.
TEST(VersionResource, EveryDeliverableCarriesTheProjectVersion) {
  const std::string dist = windowspath(QUARN_DIST_DIR);
  std::vector<std::string> files = {"roomcaster_quarn.exe", "roomcaster_live.exe", "roomcaster_render.exe"};
  WIN32_FIND_DATAA found;
  for (const char *folder : {"plugin", "plugin2", "plugin3", "plugin4", "plugin5", "plugin6"}) {
    HANDLE h = FindFirstFileA((dist + "\\" + folder + "\\*.dll").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) continue;
    do files.push_back(std::string(folder) + "\\" + found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
  }
  ASSERT_GT(files.size(), 3u) << "no plug-in in " << dist;
  unsigned major = 0, minor = 0, patch = 0;
  ASSERT_EQ(std::sscanf(QUARN_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
  for (const std::string &file : files) {
    const std::string path = dist + "\\" + file;
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << file << " has no version resource";
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) << file;
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void **>(&fixed), &size)) << file;
    EXPECT_EQ(fixed->dwFileVersionMS, (major << 16) | minor) << file;
    EXPECT_EQ(fixed->dwFileVersionLS, patch << 16) << file;
    char *text = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void **>(&text), &size)) << file;
    EXPECT_STREQ(text, QUARN_VERSION) << file;
  }
}
