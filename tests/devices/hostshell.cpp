// hostshell.cpp: host commands for the sound tests (see hostshell.h).
#include "hostshell.h"

#include <windows.h>

#include <fstream>
#include <sstream>

static std::string scratch;  // unix path of the scratch folder, empty until made
static int commands = 0;     // commands run so far (file names)

std::string windowspath(const std::string &unixpath) {
  std::string w = "Z:" + unixpath;
  for (char &c : w)
    if (c == '/') c = '\\';
  return w;
}

static bool makescratch() {
  if (!scratch.empty()) return true;
  if (GetFileAttributesA("Z:\\bin\\sh") == INVALID_FILE_ATTRIBUTES) return false;
  std::string dir = "/tmp/quarndevices-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(GetTickCount());
  if (!CreateDirectoryA(windowspath(dir).c_str(), nullptr)) return false;
  scratch = dir;
  return true;
}

std::string hostpath(const std::string &name) {
  makescratch();
  return scratch + "/" + name;
}

static std::string readfile(const std::string &windows) {
  std::ifstream f(windows, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

HostResult hostshell(const std::string &script, int timeoutms) {
  if (!makescratch()) return {-2, "no scratch folder on the host"};
  const std::string n = std::to_string(++commands);
  const std::string sh = hostpath("command" + n + ".sh"), out = hostpath("output" + n),
                    code = hostpath("status" + n);
  {
    std::ofstream f(windowspath(sh), std::ios::binary);
    f << "(\n" << script << "\n) >" << out << " 2>&1 </dev/null\n"
      << "echo $? >" << code << ".part && mv " << code << ".part " << code << "\n";
    if (!f) return {-2, "cannot write " + sh};
  }
  std::string commandline = "/bin/sh " + sh;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, commandline.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return {-2, "the host shell could not be started"};
  if (pi.hProcess) CloseHandle(pi.hProcess);
  if (pi.hThread) CloseHandle(pi.hThread);

  const std::string codewin = windowspath(code);
  for (DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(timeoutms);) {
    if (GetFileAttributesA(codewin.c_str()) != INVALID_FILE_ATTRIBUTES) {
      HostResult r{-1, readfile(windowspath(out))};
      std::istringstream(readfile(codewin)) >> r.status;
      return r;
    }
    Sleep(20);
  }
  return {-1, readfile(windowspath(out))};
}

bool hostshellavailable() { return hostshell("true", 10000).status == 0; }

void removehostscratch() {
  if (scratch.empty()) return;
  std::string dir = scratch;
  // In the background: this very command keeps its status file in the folder.
  hostshell("(sleep 1; rm -rf '" + dir + "') >/dev/null 2>&1 &", 10000);
  scratch.clear();
}
