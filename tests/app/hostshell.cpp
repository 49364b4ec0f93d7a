// hostshell.cpp: host commands for the sound tests (see hostshell.h).
#include "tests/app/hostshell.h"

#include <windows.h>

#include <fstream>
#include <sstream>

static std::string scratch;  // unix path of the scratch folder, empty until made
static int commands = 0;     // commands run so far, for file names

std::string windowspath(const std::string &unixpath) {
  std::string w = "Z:" + unixpath;
  for (char &c : w) c = c == '/' ? '\\' : c;
  return w;
}

std::string hostpath(const std::string &name) {
  if (scratch.empty()) {
    std::string dir = "/tmp/quarndevices-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    if (CreateDirectoryA(windowspath(dir).c_str(), nullptr)) scratch = dir;
  }
  return scratch + "/" + name;
}

std::string readfile(const std::string &path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

HostResult hostshell(const std::string &script, int timeoutms) {
  const std::string n = std::to_string(++commands), sh = hostpath("command" + n),
                    out = hostpath("output" + n), code = hostpath("status" + n);
  if (scratch.empty() || !(std::ofstream(windowspath(sh), std::ios::binary) << "(\n" << script << "\n) >" << out << " 2>&1 </dev/null\n"
                                                          << "echo $? >" << code << ".part && mv " << code << ".part " << code << "\n"))
    return {-2, "no scratch folder"};
  std::string commandline = "/bin/sh " + sh;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, commandline.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return {-2, "no host shell"};
  CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  for (DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(timeoutms); Sleep(20)) {
    if (GetFileAttributesA(windowspath(code).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    HostResult r{-1, readfile(windowspath(out))};
    std::istringstream(readfile(windowspath(code))) >> r.status;
    return r;
  }
  return {-1, readfile(windowspath(out))};
}

void removehostscratch() {
  // In the background: this very command keeps its status file in the folder.
  if (!scratch.empty()) hostshell("(sleep 1; rm -rf '" + scratch + "') >/dev/null 2>&1 &", 10000);
  scratch.clear();
}
