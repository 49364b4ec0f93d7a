// hostshell.h: shell commands on the machine Wine runs on, from a test under Wine.
//   HostResult r = hostshell("pactl info");   // waits for the end, at most timeoutms
//   hostpath("tone.wav")                       // a scratch file as the host names it
//   windowspath(hostpath("tone.wav"))          // the same file for this process
// Wine starts a host program from CreateProcess but gives no handle to wait on,
// so each command writes its exit status to a file that this side polls for.
#pragma once
#include <string>

struct HostResult {
  int status;          // exit status; -1 timed out; -2 no host shell
  std::string output;  // stdout and stderr together
};

HostResult hostshell(const std::string &script, int timeoutms = 20000);  // waits for its end
std::string hostpath(const std::string &name);  // a scratch file, as the host names it
std::string windowspath(const std::string &unixpath);  // "Z:\tmp\..."
void removehostscratch();
std::string readfile(const std::string &path);  // a whole file of this side, "" when unreadable
