// guifolders.h: the running program's folder, a module's own path and the
// current directory, at any length (Win32; the toolkit's bottom floor, so the
// application, the host and the plug-ins all find them the same way).
//
//   std::string home = guiprogramfolder();      // "C:\rc" (no trailing backslash)
//   std::string dll = guimodulepath(module);    // full path of a loaded module
//   std::string here = guicurrentdirectory();   // "" when it cannot be read
//
// Each is "" when the system call fails.
#pragma once
#include <windows.h>

#include <string>

// Full path of a module (nullptr: the program's .exe), grown until it fits.
inline std::string guimodulepath(HMODULE module) {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD got = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return std::string();
    if (got < path.size()) {  // not truncated
      path.resize(got);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The folder part of a path: up to the last backslash or slash, without it.
inline std::string guifolderof(const std::string &path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

inline std::string guiprogramfolder() { return guifolderof(guimodulepath(nullptr)); }

inline std::string guicurrentdirectory() {
  const DWORD need = GetCurrentDirectoryA(0, nullptr);
  if (need == 0) return std::string();
  std::string dir(need, '\0');
  const DWORD got = GetCurrentDirectoryA(need, dir.data());
  dir.resize(got < need ? got : 0);
  return dir;
}
