// pluginload.cpp: finding, loading, binding and initialising the plug-in slots.
// Main thread only, while audio is stopped (start-up, or the renderer before it runs).
#include <windows.h>

#include <string>

#include "pluginhost/pluginfaults.h"
#include "gui_quarn/guifolders.h"
#include "pluginhost/pluginhost.h"

// Per-slot literals; slot 1 has no digit. Index 0 is unused.
static const char *const searchpattern[pluginslotcount + 1] = {
    "", "plugin\\*.dll", "plugin2\\*.dll", "plugin3\\*.dll",
    "plugin4\\*.dll", "plugin5\\*.dll", "plugin6\\*.dll"};
static const char *const loadsuffix[pluginslotcount + 1] = {
    "", "/plugin/", "/plugin2/", "/plugin3/", "/plugin4/", "/plugin5/", "/plugin6/"};
static const char *const initfolder[pluginslotcount + 1] = {
    "", "/plugin", "/plugin2", "/plugin3", "/plugin4", "/plugin5", "/plugin6"};

// Set by setpluginprogramfolder; empty means the folder of the running .exe.
static std::string programfolderoverride;

std::string pluginprogramfolder() {
  if (!programfolderoverride.empty()) return programfolderoverride;
  return guiprogramfolder();
}

static int comparenames(const char *a, const char *b) {
  int c = lstrcmpiA(a, b);
  return c != 0 ? c : lstrcmpA(a, b);
}

// Windows also matches a pattern against a file's short 8.3 name, so "*.dll"
// can list "ringout.dll.old"; only names that really end in ".dll" count.
static bool endsindll(const char *name) {
  size_t n = lstrlenA(name);
  return n >= 4 && lstrcmpiA(name + n - 4, ".dll") == 0;
}

// The first module name the slot's folder in the current directory lists; empty
// when none. Directories, hidden and system entries are skipped. The platform's
// listing order is only defined on some file systems, so "first" is the smallest
// name, compared without regard to case: the order a user sees in a sorted listing.
static std::string firstmodulename(int slot) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(searchpattern[slot], &entry);
  if (find == INVALID_HANDLE_VALUE) return std::string();
  const DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  std::string first;
  do {
    if ((entry.dwFileAttributes & skipped) || !endsindll(entry.cFileName)) continue;
    if (first.empty() || comparenames(entry.cFileName, first.c_str()) < 0) first = entry.cFileName;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return first;
}

// LoadLibraryA without the system's error boxes for a file that is not a usable
// module (wrong machine, not an image): the slot just stays empty.
static void *loadmodule(const std::string &path) {
  DWORD oldmode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldmode);
  HMODULE module = LoadLibraryA(path.c_str());
  SetThreadErrorMode(oldmode, nullptr);
  return (void *)module;
}

template <typename fn>
static fn lookup(void *module, const char *name) {
  return reinterpret_cast<fn>(reinterpret_cast<void *>(GetProcAddress((HMODULE)module, name)));
}

// Steps shared by the slot folders and loadpluginfile: load the module at path
// unless the slot holds one already, bind all four entry points or none, and run
// plugininit with `folder` as the current directory.
static void bindslot(int slot, const std::string &path, const std::string &folder) {
  PluginSlot &s = pluginslots[slot];
  installpluginguard();
  clearpluginfault(slot);
  if (!s.module) s.module = loadmodule(path);
  clearpluginentries(s);
  // Each lookup only when the one before it succeeded.
  if (s.module) s.plugininit = lookup<plugininit_fn>(s.module, "plugininit");
  if (s.plugininit) s.pluginmain = lookup<pluginmain_fn>(s.module, "pluginmain");
  if (s.pluginmain) s.pluginproc = lookup<pluginproc_fn>(s.module, "pluginproc");
  if (s.pluginproc) s.pluginclose = lookup<pluginclose_fn>(s.module, "pluginclose");
  // All or nothing: a module lacking an export stays loaded, never called.
  if (!s.pluginclose || !s.pluginproc || !s.plugininit) clearpluginentries(s);
  if (s.plugininit) {
    std::string remembered = guicurrentdirectory();
    SetCurrentDirectoryA(folder.c_str());
    const uint32_t fault = guardedcall(s.plugininit);
    SetCurrentDirectoryA(remembered.c_str());
    // A plugininit that faulted leaves the module in an unknown state: the slot
    // is treated as a module lacking an export (loaded, never called), and told.
    if (fault != 0) {
      notepluginfaultininit(slot, fault);
      clearpluginentries(s);
    }
  }
}

void loadpluginslot(int slot) {
  if (slot < 1 || slot > pluginslotcount) return;
  std::string name = firstmodulename(slot);
  if (name.empty()) return;
  std::string home = pluginprogramfolder();
  bindslot(slot, home + loadsuffix[slot] + name, home + initfolder[slot]);
}

void loadplugins() {
  for (int slot = 1; slot <= pluginslotcount; ++slot)
    if (!pluginslots[slot].module) loadpluginslot(slot);
}

int loadpluginfile(const char *path, int slot) {
  if (!path || !*path || slot < 1 || slot > pluginslotcount) return 0;
  if (pluginslots[slot].module) return 0;  // loading happens once per slot
  DWORD need = GetFullPathNameA(path, 0, nullptr, nullptr);
  if (need == 0) return 0;
  std::string full(need, '\0');
  DWORD got = GetFullPathNameA(path, need, full.data(), nullptr);
  if (got == 0 || got >= need) return 0;
  full.resize(got);
  std::string folder = guifolderof(full);
  if (!folder.empty() && folder.back() == ':') folder += '\\';  // a module at a drive's root
  bindslot(slot, full, folder);
  return pluginslots[slot].pluginproc ? 1 : 0;
}

void setpluginprogramfolder(const char *folder) {
  programfolderoverride = folder ? folder : "";
}
