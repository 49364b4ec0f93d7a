// pluginreport.cpp: telling the user which plug-in slot failed.
// Thread: main (user-interface) thread only.
#include <windows.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "pluginhost/pluginguard.h"
#include "pluginhost/pluginfaults.h"
#include "gui_quarn/guifolders.h"
#include "pluginhost/pluginhost.h"

// Per slot: set when the fault was caught in plugininit (main thread writes).
static bool faultininit[pluginslotcount + 1];
// Per slot: the code already reported, so each fault is told once (main thread).
static uint32_t reported[pluginslotcount + 1];

static const char *faultname(uint32_t code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    case EXCEPTION_INT_OVERFLOW: return "integer overflow";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case EXCEPTION_IN_PAGE_ERROR: return "page could not be read in";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return "misaligned data";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return "array bounds exceeded";
    default: return "floating-point trap";
  }
}

std::string pluginfaultline(const char *program, int slot, const char *modulepath, bool ininit,
                            uint32_t code) {
  char text[64];
  std::snprintf(text, sizeof text, " (%s, code %08lx)", faultname(code), static_cast<unsigned long>(code));
  return std::string(program) + ": plug-in slot " + std::to_string(slot) + " (" + modulepath + ") faulted in " +
         (ininit ? "plugininit" : "pluginproc") + text + " and is switched off";
}

void notepluginfaultininit(int slot, uint32_t code) {
  if (slot < 1 || slot > pluginslotcount) return;
  faultininit[slot] = true;
  pluginfault[slot].store(code, std::memory_order_release);
}

static std::string modulepath(void *module) {
  const std::string path = module ? guimodulepath(static_cast<HMODULE>(module)) : std::string();
  return path.empty() ? "unknown module" : path;
}

// plugin-faults.log in the program's own folder.
static void appendtolog(const std::string &line) {
  const std::string folder = pluginprogramfolder();
  if (folder.empty()) return;
  const std::string path = folder + "\\plugin-faults.log";
  FILE *f = std::fopen(path.c_str(), "ab");
  if (!f) return;
  char stamp[32] = "";
  std::time_t now = std::time(nullptr);
  if (const std::tm *t = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", t);
  std::fprintf(f, "%s %s\r\n", stamp, line.c_str());
  std::fclose(f);
}

int reportpluginfaults(const char *program) {
  int count = 0;
  for (int slot = 1; slot <= pluginslotcount; ++slot) {
    const uint32_t code = pluginfault[slot].load(std::memory_order_acquire);
    if (code == 0 || code == reported[slot]) continue;
    reported[slot] = code;
    const std::string line =
        pluginfaultline(program, slot, modulepath(pluginslots[slot].module).c_str(), faultininit[slot], code);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    OutputDebugStringA((line + "\n").c_str());
    appendtolog(line);
    ++count;
  }
  return count;
}

void clearpluginfault(int slot) {
  if (slot < 1 || slot > pluginslotcount) return;
  pluginfault[slot].store(0, std::memory_order_release);
  faultininit[slot] = false;
  reported[slot] = 0;
}
